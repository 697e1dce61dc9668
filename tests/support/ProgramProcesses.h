#pragma once

#include <QString>
#include <QStringList>

// Programs of the build run as a person runs them: copied into a prepared program folder, and found
// afterwards among the running processes by their program file.
namespace ProgramProcesses {
// Copies build/app/<relative> into the folder under its own file name; returns the copy's path.
QString copyProgram(const QString &relative, const QString &folder);
// Processes whose program file is exactly this path.
QList<qint64> running(const QString &programPath);
// Paths of the files the process holds open.
QStringList openFiles(qint64 pid);
bool alive(qint64 pid);
// SIGTERM, then SIGKILL when it does not end within the wait; true when it ended on SIGTERM.
bool stop(qint64 pid, int waitMs = 15000);
} // namespace ProgramProcesses
