// calvir-render: renders audio files through the ks CALVIR Room plug-in.
#include "tools/render/renderapp.h"

#include <csignal>
#include <iostream>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop (int)
{
	stopRequested = 1;
}

} // namespace

int main (int argc, char** argv)
{
	std::signal (SIGINT, requestStop);
	std::signal (SIGTERM, requestStop);
	return Calvir::Render::runRenderApp (argc, argv, std::cout, std::cerr, &stopRequested);
}
