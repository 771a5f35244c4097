#include <QByteArray>

#include <cstdio>

// A reference for the command-line tool's start-up benchmark: a program that links Qt Core, uses
// it once and ends.
int main() {
    std::puts(QByteArray::number(42).constData());
    return 0;
}
