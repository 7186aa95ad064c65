// The yardstick of the editor's start (bench/startup.py): a main window holding a table and
// nothing else, as little as a Qt program that shows a grid can do.
#include <QApplication>
#include <QMainWindow>
#include <QTableWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    auto* table = new QTableWidget(1, 5, &window);
    window.setCentralWidget(table);
    window.resize(800, 600);
    window.show();
    return app.exec();
}
