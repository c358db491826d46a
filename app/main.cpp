#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zukaro"));
    QLabel placeholder(QStringLiteral("ズカロ"));
    placeholder.show();
    return QApplication::exec();
}
