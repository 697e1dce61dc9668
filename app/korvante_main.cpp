#include "mainwindow/WidgetProgramStart.h"
#include "mainwindow/TForm_RIFA.h"

int main(int argc, char *argv[]) { return runProgram<TForm_RIFA>(argc, argv); }
