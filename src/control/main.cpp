#include "control/startup.h"

int main() { return control::runEngine(); }
