#pragma once

#include <QString>

// The benches' raffle of a million tickets: both database files in a folder and raffle 1
// ("RIFA DO MILHAO", 000000-999999, one number per ticket) with every ticket of BS1_MISTURADO free.
namespace MillionTickets {
inline constexpr int Count = 1000000;
inline constexpr const char *Table = "BS1_MISTURADO";

// Written by the engine itself with synchronous writes off, switched back on at the end; the file is
// closed again when this returns, so a server or another process may open it next.
bool prepare(const QString &folder, QString *error);
} // namespace MillionTickets
