#include "check/check_command.h"

int main(int argc, char** argv) { return slip::check::runCheck(argc, argv); }
