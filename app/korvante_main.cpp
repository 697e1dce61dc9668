#include "mainwindow/TForm_RIFA.h"
#include "mainwindow/WidgetProgramStart.h"

int main(int argc, char *argv[]) {
    return runProgram<TForm_RIFA>(argc, argv, SchemaAtStart::Upgrade);
}
