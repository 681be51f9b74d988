#include "map/map_run.h"

int main(int argc, char** argv) { return slip::map::runSlipmap(argc, argv); }
