#include "system.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <vector>

#include "runtime_p.h"

namespace rt {

bool fileExists(const std::string& name) { return !name.empty() && QFileInfo(detail::qs(name)).isFile(); }

int run(const std::string& commandline) {
  QStringList words = detail::qs(commandline).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (words.isEmpty()) return -1;
  QString program = words.takeFirst();
  // A name without a slash would be looked up on the PATH only: one found here is meant.
  if (fileExists(program.toStdString())) program = QFileInfo(program).absoluteFilePath();
  if (auto& hook = detail::hooks().run) {
    std::vector<std::string> arguments;
    for (const QString& w : words) arguments.push_back(w.toStdString());
    hook(program.toStdString(), arguments);
    return 1;
  }
  return QProcess::startDetached(program, words) ? 1 : -1;
}

}  // namespace rt
