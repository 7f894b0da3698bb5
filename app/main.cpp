#include "app/simulator_app.h"

int main(int argc, char** argv) { return skarn::runSkarn(argc, argv); }
