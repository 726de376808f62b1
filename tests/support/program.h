#pragma once

// The program as it ships, from the splash on, over a data source of the test's own: the
// splash hands over at once, and the entry window signs in as often as a test says. For
// tests that link the application.

#include <gtest/gtest.h>

#include <functional>

#include "classes.h"
#include "runtime/testing.h"
#include "shell/book.h"
#include "shell/w_main1.h"
#include "support/datasource.h"

namespace support {

class ProgramTest : public ::testing::Test {
 protected:
  rt::testing::Session session{50000};
  TempDataSource ds = TempDataSource::standard();
  int entries = 0;

  void SetUp() override {
    registerClasses();
    rt::testing::onOpen("w_flash", [](rt::Window& w) { rt::testing::fireTimer(w); });
  }
  // The entry window signs in by its access key the first `times` times it opens.
  void signInTimes(int times) {
    rt::testing::onOpen("w_pwd", [this, times](rt::Window& w) {
      if (++entries <= times) rt::testing::pressKey(w, Qt::Key_L, Qt::AltModifier);
    });
  }
  // Runs the program; `story` runs once the first frame is on screen and must end the run
  // (or hand it on). False when no frame came.
  bool runToFrame(std::function<void(w_main1&)> story) {
    bool ran = false;
    rt::testing::onOpen("w_main1", [story, &ran](rt::Window& w) {
      if (ran) return;
      ran = true;
      story(static_cast<w_main1&>(w));
    });
    book app;
    rt::run(app, 0, nullptr);
    return ran;
  }
};

}  // namespace support
