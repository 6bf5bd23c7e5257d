#include "qt_test_env.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "view/web_sandbox.h"

namespace view_test {

namespace {

QtMessageHandler default_handler = nullptr;

// The offscreen platform's notes about what it cannot do say nothing about the program.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QLatin1String("This plugin does not support")))
    return;
  if (default_handler)
    default_handler(type, context, message);
}

class QtEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!std::getenv("QT_QPA_PLATFORM"))
      qputenv("QT_QPA_PLATFORM", "offscreen");
    default_handler = qInstallMessageHandler(QuietOffscreen);
    view::PrepareWebEngine();
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[11] = "view_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

bool PumpUntil(const std::function<bool()>& condition) {
  return QTest::qWaitFor(condition, 20000);
}

void AnswerNextModal(std::function<void(QWidget&)> answer, std::function<bool(QWidget&)> wanted) {
  // Polls from inside whatever loop runs until the modal widget is up.
  auto* poll = new QTimer();
  poll->setInterval(0);
  QObject::connect(poll, &QTimer::timeout, [poll, answer = std::move(answer), wanted] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || (wanted && !wanted(*modal)))
      return;
    poll->stop();
    poll->deleteLater();
    answer(*modal);
  });
  poll->start();
}

}  // namespace view_test
