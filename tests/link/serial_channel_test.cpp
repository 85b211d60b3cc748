// The serial channel on a pseudo-terminal whose far end goes away while Qt
// says nothing of it, as Qt Serial Port does from 6.7.1 on: the hung-up tty
// then only gives zero-byte reads, and no error comes.
#include "link/serial_channel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>

#include <pty.h>
#include <unistd.h>

TEST(SerialChannel, AHangUpQtDoesNotReportIsStillLost) {
    int argc = 1;
    char name[] = "test_serial_channel";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const QString path = QString::fromLocal8Bit(::ttyname(slave));
    ::close(slave);

    kt::SerialChannel channel;
    channel.configure(path, QStringLiteral("9600"));
    kt::LinkError error;
    ASSERT_TRUE(channel.open(&error)) << error.text.toStdString();
    // Whatever Qt would report goes nowhere.
    auto* port = qobject_cast<QSerialPort*>(channel.device());
    ASSERT_NE(port, nullptr);
    QObject::disconnect(port, &QSerialPort::errorOccurred, &channel, nullptr);

    QStringList lost;
    QByteArray readWhenLost;
    QObject::connect(&channel, &kt::Channel::lost, [&](const QString& why) {
        lost << why;
        readWhenLost = channel.device()->readAll();
    });

    // A reply's first bytes arrive and wait unread; then the far end goes.
    const QByteArray early = "0000AC";
    ASSERT_EQ(::write(master, early.constData(), early.size()), early.size());
    QElapsedTimer clock;
    clock.start();
    while (port->bytesAvailable() < early.size() && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(port->bytesAvailable(), early.size());
    ::close(master);

    clock.restart();
    while (lost.isEmpty() && clock.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(lost.size(), 1) << "the hang-up went unnoticed";
    EXPECT_LT(clock.elapsed(), 250) << "noticed only after a reply's time limit";
    EXPECT_TRUE(lost.front().contains(path)) << lost.front().toStdString();
    EXPECT_EQ(readWhenLost, early) << "what came before the loss is still readable";
    EXPECT_FALSE(channel.isOpen());

    // Closed, the port wakes nobody: no second loss.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(lost.size(), 1);
}
