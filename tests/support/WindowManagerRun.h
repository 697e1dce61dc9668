#pragma once

#include <QString>

// Some faults show only under a real window manager. A test class reruns itself on a display of its
// own (Xvfb) with openbox managing it; both come from scripts/packages.txt.
namespace WindowManagerRun {

// True inside the rerun.
bool inside();

// Runs testClass of this executable again under the window manager. Empty on success, otherwise
// what went wrong followed by the rerun's output.
QString rerun(const QString &testClass, int timeoutMs);

} // namespace WindowManagerRun
