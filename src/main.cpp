#include "classes.h"
#include "runtime/application.h"
#include "shell/book.h"

int main(int argc, char** argv) {
  registerClasses();
  book app;
  return rt::run(app, argc, argv);
}
