// Test main for tests that need a QApplication: offscreen, the toolkit's look.
#include <gtest/gtest.h>

#include <cstdio>

#include <QApplication>

#include "vimo_ui/qt/style.h"

namespace {
// The offscreen platform says, for every window, what it cannot do.
void quiet_platform_notes(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (message.startsWith(QStringLiteral("This plugin does not support"))) return;
  if (type != QtDebugMsg) fprintf(stderr, "%s\n", qPrintable(message));
}
}  // namespace

int main(int argc, char** argv) {
  qInstallMessageHandler(quiet_platform_notes);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  vimo_ui::qt::apply_look(app);
  return RUN_ALL_TESTS();
}
