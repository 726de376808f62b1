// A full rescoring pass through the grade-one calculator window, next to the same pass in
// the scoring core alone. The passes take four students in turn (boys for four passes, then
// girls), so every pass changes the fields' texts. A window pass includes typing the eleven
// inputs (setting their texts, which owes their repaints), the losefocus handlers of the
// eleven in window order (the weight's runs vital capacity once more), the year total, and
// both height-table selects going to a real SQLite data source (the shipped rows); the
// repaints themselves are not drawn within it. Each figure is the median of ROUNDS rounds.
//   bench_calculator [WINDOW_PASSES_PER_ROUND [ROUNDS]]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "classes.h"
#include "core_pass.h"
#include "figures.h"
#include "runtime/application.h"
#include "runtime/testing.h"
#include "runtime/transaction.h"
#include "runtime/window.h"
#include "scoring/w_jsq_gz1.h"
#include "support/connected_app.h"
#include "support/datasource.h"

namespace t = rt::testing;
using Clock = std::chrono::steady_clock;

namespace {

void type(w_jsq& w, const bench::Inputs& in) {
  my_maskedit* fields[] = {&*w.em_s1, &*w.em_s2, &*w.em_t, &*w.em_1, &*w.em_8, &*w.em_f,
                           &*w.em_5,  &*w.em_l,  &*w.em_z, &*w.em_y, &*w.em_w};
  for (std::size_t i = 0; i < in.size(); ++i) fields[i]->text = in[i];
}

int pass(w_jsq& w) {
  w.em_s1->losefocus();
  w.em_s2->losefocus();
  w.em_t->losefocus();
  w.em_1->losefocus();
  w.em_8->losefocus();
  w.em_f->losefocus();
  w.em_5->losefocus();
  w.em_l->losefocus();
  w.em_z->losefocus();
  w.em_y->losefocus();
  w.em_w->losefocus();
  return w.xn();
}

double nsSince(Clock::time_point t0, long count) {
  return std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / static_cast<double>(count);
}

}  // namespace

int main(int argc, char** argv) {
  const long windowPasses = argc > 1 ? std::max(8L, std::atol(argv[1])) : 2000;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
  const long corePasses = windowPasses * 250;

  auto ds = support::TempDataSource::standard();
  ds.query(
      "INSERT INTO xmsz (nj, xm_t_m, xm_1_m, xm_5_m, xm_l_m, xm_z_m, xm_w_m, xm_t_w, xm_8_w, xm_5_w, "
      "xm_l_w, xm_z_w, xm_y_w, xm_w_w) VALUES ('31', '1', '1', '1', '1', '1', '1', '1', '1', '1', '1', '1', "
      "'1', '1')");
  t::Session session(600000);
  registerClasses();

  std::vector<double> window;
  std::string lastTotal;
  t::onOpen("w_jsq_gz1", [&](rt::Window& win) {
    auto& w = static_cast<w_jsq_gz1&>(win);
    const auto student = [&](long i) {
      type(w, bench::kStudents[static_cast<std::size_t>(i & 3)]);
      w.rb_sex_man->checked = (i & 4) == 0;
      return pass(w);
    };
    for (long i = 0; i < 8; ++i) student(i);  // warm: the first selects and the fields' first texts
    for (int r = 0; r < rounds; ++r) {
      const auto t0 = Clock::now();
      for (long i = 0; i < windowPasses; ++i) student(i);
      window.push_back(nsSince(t0, windowPasses));
      t::clearJournal();
      t::processEvents();  // the repaints owed, outside the clock
    }
    lastTotal = w.em_xn_t->text();
    rt::close(w);
  });
  support::ConnectedApp app;
  app.story = [] { rt::open("w_jsq_gz1"); };
  rt::run(app, 0, nullptr);
  if (!app.connectError.empty()) std::fprintf(stderr, "connect: %s\n", app.connectError.c_str());
  if (window.empty() || lastTotal.empty() || !t::messages().empty()) {
    std::fprintf(stderr, "the window pass did not run as planned\n");
    return 1;
  }

  volatile long sink = 0;
  std::vector<double> core;
  for (int r = 0; r < rounds; ++r) {
    const auto t0 = Clock::now();
    long sum = 0;
    for (long i = 0; i < corePasses; ++i)
      sum += bench::rescore(bench::kStudents[static_cast<std::size_t>(i & 3)],
                            (i & 4) ? scoring::Sex::Girls : scoring::Sex::Boys);
    sink = sink + sum;
    core.push_back(nsSince(t0, corePasses));
  }

  const bench::Span c = bench::span(core), wp = bench::span(window);
  const std::string load = bench::machineLoad();
  std::printf("full rescoring pass, scoring core    median %10.1f ns, span %.1f-%.1f ns  (%d rounds of %ld; %s)\n",
              c.median, c.min, c.max, rounds, corePasses, load.c_str());
  std::printf(
      "full rescoring pass, through window  median %10.1f ns, span %.1f-%.1f ns  (%d rounds of %ld, inputs typed and "
      "2 selects each; %s)\n",
      wp.median, wp.min, wp.max, rounds, windowPasses, load.c_str());
  std::printf("ratio window / core                  %10.1f\n", wp.median / c.median);
  return sink == 42 ? 1 : 0;
}
