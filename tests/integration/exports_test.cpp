// The bundle's shared library exports exactly the three entry functions.
#include "support/pluginbundle.h"

#include <gtest/gtest.h>

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using CalvirTestSupport::PluginBundle;

// Names of the symbols that the ELF file's dynamic symbol table defines.
std::set<std::string> definedDynamicSymbols (const std::string& path)
{
	std::ifstream file (path, std::ios::binary);
	const std::vector<char> image ((std::istreambuf_iterator<char> (file)),
	                               std::istreambuf_iterator<char> ());
	std::set<std::string> names;
	if (image.size () < sizeof (Elf64_Ehdr))
		return names;
	Elf64_Ehdr header;
	std::memcpy (&header, image.data (), sizeof header);
	if (std::memcmp (header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
		return names;

	auto sectionAt = [&] (size_t index) {
		Elf64_Shdr section;
		std::memcpy (&section, image.data () + header.e_shoff + index * header.e_shentsize,
		             sizeof section);
		return section;
	};
	for (size_t s = 0; s < header.e_shnum; ++s)
	{
		const Elf64_Shdr symbols = sectionAt (s);
		if (symbols.sh_type != SHT_DYNSYM)
			continue;
		const Elf64_Shdr strings = sectionAt (symbols.sh_link);
		for (size_t offset = 0; offset + sizeof (Elf64_Sym) <= symbols.sh_size;
		     offset += sizeof (Elf64_Sym))
		{
			Elf64_Sym symbol;
			std::memcpy (&symbol, image.data () + symbols.sh_offset + offset, sizeof symbol);
			if (symbol.st_shndx == SHN_UNDEF || symbol.st_name == 0)
				continue;
			const int binding = ELF64_ST_BIND (symbol.st_info);
			if (binding != STB_GLOBAL && binding != STB_WEAK)
				continue;
			names.insert (image.data () + strings.sh_offset + symbol.st_name);
		}
	}
	return names;
}

TEST (BundleExports, OnlyTheThreeEntryFunctions)
{
	const std::set<std::string> names = definedDynamicSymbols (PluginBundle::builtBinaryPath ());
	EXPECT_EQ (names, (std::set<std::string> {"GetPluginFactory", "ModuleEntry", "ModuleExit"}));
}

} // namespace
