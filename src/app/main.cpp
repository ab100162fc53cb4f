#include "app/startup.h"

int main(int argc, char** argv) {
  return talvex::start_up(argc, argv);
}
