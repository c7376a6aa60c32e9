#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lumidot");
    QMainWindow window;
    window.setWindowTitle("Lumidot");
    window.show();
    return app.exec();
}
