#include "deform/deform_command.h"

int main(int argc, char** argv) { return slip::deform::runDeform(argc, argv); }
