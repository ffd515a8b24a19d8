#ifndef CORE_EXPORT_H
#define CORE_EXPORT_H

#include <QtGlobal>

/// \file core_export.h
/// The export macro of the library's interface.

#if defined(CORE_LIBRARY)
#define CORE_EXPORT Q_DECL_EXPORT
#else
/// Marks a class or function of the library's interface: imported by the applications that
/// include its headers, exported while the library itself is built (CORE_LIBRARY defined).
#define CORE_EXPORT Q_DECL_IMPORT
#endif

#endif // CORE_EXPORT_H
