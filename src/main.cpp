// Velmora: the program entry.
#include "program/ui/StartUp.h"

int main(int argc, char** argv) { return velmora::ui::RunProgram(argc, argv); }
