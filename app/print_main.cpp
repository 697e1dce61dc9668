#include "mainwindow/WidgetProgramStart.h"
#include "printmodule/TForm_RIFAPrint.h"

int main(int argc, char *argv[]) {
    return runProgram<TForm_RIFAPrint>(argc, argv, SchemaAtStart::AsItIs);
}
