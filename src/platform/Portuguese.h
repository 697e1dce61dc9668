#pragma once

class QCoreApplication;

// Brazilian Portuguese for everything the toolkit itself shows (standard buttons, calendars, file and
// print dialogs) and for number and date formats (decimal comma). Returns false when the toolkit's
// translation file is missing; the formats are set anyway.
bool installPortuguese(QCoreApplication &app);
