// Reference-counted base of the toolkit's objects and the smart pointer that
// holds them. A new object starts with one reference; forget() drops one and
// deletes the object when none is left, after beforeDelete() has run.
#pragma once

#include <cstdint>
#include <utility>

namespace VSTGUI {

class CBaseObject
{
public:
	CBaseObject () = default;
	CBaseObject (const CBaseObject&) : CBaseObject () {}
	CBaseObject& operator= (const CBaseObject&) { return *this; }
	virtual ~CBaseObject () noexcept = default;

	void remember () { ++nbReference; }
	void forget ()
	{
		if (--nbReference == 0)
		{
			beforeDelete ();
			delete this;
		}
	}
	int32_t getNbReference () const { return nbReference; }

	// Called once, just before the last reference deletes the object, while
	// it is still complete (virtual calls reach the most derived class).
	virtual void beforeDelete () {}

private:
	int32_t nbReference {1};
};

// Holds one reference to a CBaseObject (or any type with remember/forget).
template <typename T>
class SharedPointer
{
public:
	SharedPointer () noexcept = default;
	SharedPointer (T* object, bool rememberObject = true) noexcept : ptr (object)
	{
		if (ptr && rememberObject)
			ptr->remember ();
	}
	SharedPointer (const SharedPointer& other) noexcept : SharedPointer (other.ptr) {}
	SharedPointer (SharedPointer&& other) noexcept : ptr (std::exchange (other.ptr, nullptr)) {}
	~SharedPointer () noexcept
	{
		if (ptr)
			ptr->forget ();
	}

	SharedPointer& operator= (T* object) noexcept
	{
		if (object != ptr)
		{
			if (object)
				object->remember ();
			T* old = std::exchange (ptr, object);
			if (old)
				old->forget ();
		}
		return *this;
	}
	SharedPointer& operator= (const SharedPointer& other) noexcept { return *this = other.ptr; }
	SharedPointer& operator= (SharedPointer&& other) noexcept
	{
		if (this != &other)
		{
			T* old = std::exchange (ptr, std::exchange (other.ptr, nullptr));
			if (old)
				old->forget ();
		}
		return *this;
	}

	T* get () const noexcept { return ptr; }
	T* operator-> () const noexcept { return ptr; }
	T& operator* () const noexcept { return *ptr; }
	operator T* () const noexcept { return ptr; }
	explicit operator bool () const noexcept { return ptr != nullptr; }

private:
	T* ptr {nullptr};
};

// Wraps a freshly created object, taking over its initial reference.
template <typename T>
SharedPointer<T> owned (T* object) noexcept
{
	return SharedPointer<T> (object, false);
}

// Creates an object and takes over its initial reference.
template <typename T, typename... Args>
SharedPointer<T> makeOwned (Args&&... args)
{
	return SharedPointer<T> (new T (std::forward<Args> (args)...), false);
}

} // namespace VSTGUI
