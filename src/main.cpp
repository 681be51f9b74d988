#include "driver/run_driver.h"

int main(int argc, char** argv) { slip::RunDriver::run(argc, argv); }
