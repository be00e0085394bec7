#pragma once

#include <QtGlobal>

// NETSERVICE_LIBRARY is defined only while the library itself is compiled.
#if defined(NETSERVICE_LIBRARY)
#define NETSERVICE_EXPORT Q_DECL_EXPORT
#else
#define NETSERVICE_EXPORT Q_DECL_IMPORT
#endif
