#pragma once

#include "platform/Cp1252.h"

#include <QVariant>

// The connection speaks UTF-8 but the columns hold Windows-1252: a character outside the code page
// would make the whole statement fail, so it becomes '?' before it is bound.
inline QVariant sqlValue(const QVariant &v) {
    if (v.typeId() == QMetaType::QString) return Cp1252::representable(v.toString());
    return v;
}
