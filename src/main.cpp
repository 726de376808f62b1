#include "runtime/application.h"
#include "shell/book.h"
#include "shell/classes.h"

int main(int argc, char** argv) {
  registerClasses();
  book app;
  return rt::run(app, argc, argv);
}
