// The root interface of every object a library's factory returns, and the factory's shape.
#pragma once
#include <cstdint>

// Objects are not reference-counted: the caller that got one from a factory frees it with Destroy.
// Interfaces derive from this one virtually, so one object holds a single ILMObject whichever
// interface pointer reaches it.
class ILMObject
{
public:
    // Deletes the object through its virtual destructor.
    virtual void Destroy() = 0;
    // The last recorded code; 0 means no error.
    virtual int32_t GetLastErrorCode() = 0;
    // The last recorded message, owned by the object; null until an error was ever recorded.
    virtual const wchar_t* GetLastErrorMessage() = 0;

protected:
    ~ILMObject() = default;
};

// An exported factory: no arguments, a new object or null. Exported undecorated by name.
using LMFactoryFunction = ILMObject* (*)();
