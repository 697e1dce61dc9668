#pragma once

#include <QString>

class TDM;
class Dialogs;
class Clock;
class Random;
class Registry;
struct WorkingRaffle;

// What the program gives to its windows and logic classes; main() builds the real one, tests their own.
struct AppServices {
    TDM &tdm;
    Dialogs &dialogs;
    Clock &clock;
    Random &random;
    Registry &registry;
    QString programFolder;
};

// The services plus the working raffle, which the main window owns.
struct AppContext : AppServices {
    AppContext(const AppServices &services, WorkingRaffle &r) : AppServices(services), raffle(r) {}
    WorkingRaffle &raffle;
};
