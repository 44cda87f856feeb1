#pragma once
// The boundary between the host and code that may throw: every VST3 entry point that can
// allocate (or runs a hook that may) passes its body through Guarded, so that nothing is
// thrown to the host. Running out of memory answers kOutOfMemory, any other exception
// kInternalError. Each body is written so that a throw leaves nothing half-built.

#include <new>

#include "pluginterfaces/base/funknown.h"

template <class Body>
Steinberg::tresult Guarded(Body&& body) noexcept
{
  try
  {
    return body();
  }
  catch (const std::bad_alloc&)
  {
    return Steinberg::kOutOfMemory;
  }
  catch (...)
  {
    return Steinberg::kInternalError;
  }
}
