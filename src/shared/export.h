// Marks the plug-in's own procedures that the library exports under their C++ names.
#pragma once
#if defined(_WIN32)
#define PX_EXPORT __declspec(dllexport)
#else
#define PX_EXPORT
#endif
