#include "map/map_command.h"

int main(int argc, char** argv) { return slip::map::runMap(argc, argv); }
