#include "source/source_command.h"

int main(int argc, char** argv) { return slip::source::runSource(argc, argv); }
