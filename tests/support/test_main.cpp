// Shared main of every test binary: a QApplication (offscreen unless told otherwise) and a
// fresh temporary folder per test, used as current directory and as settings folder.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

class FreshFolderPerTest : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo &) override {
        home_ = QDir::currentPath();
        dir_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir_->isValid());
        QDir::setCurrent(dir_->path());
        qputenv("TBK_CONFIG_DIR", QDir(dir_->path()).filePath("config").toUtf8());
    }
    void OnTestEnd(const testing::TestInfo &) override {
        QDir::setCurrent(home_);
        dir_.reset();
    }

private:
    QString home_;
    std::unique_ptr<QTemporaryDir> dir_;
};

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshFolderPerTest);
    return RUN_ALL_TESTS();
}
