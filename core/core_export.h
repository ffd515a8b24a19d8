#ifndef CORE_EXPORT_H
#define CORE_EXPORT_H

#include <QtGlobal>

#if defined(CORE_LIBRARY)
#define CORE_EXPORT Q_DECL_EXPORT
#else
#define CORE_EXPORT Q_DECL_IMPORT
#endif

#endif // CORE_EXPORT_H
