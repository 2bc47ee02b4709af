// The sound player where no sound can be had: no server, or a server that
// takes the connection and never answers. Each case runs the player in a
// child process of this test, so that its stderr and its exit can be seen:
// making it and every play() return at once, the program says one line of
// its own and none of Qt's, and it ends promptly however the server
// behaves.
#include "game/sounds.h"
#include "platform/qt/sound_player.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

Q_LOGGING_CATEGORY(audioCategory, "qt.multimedia.check")

// The child: makes a player, plays every cue, lives `lifeMs`, goes. Prints
// the times taken on stdout; Qt's audio messages, and one other, to stderr.
int player(int argc, char** argv, int lifeMs)
{
    QCoreApplication app(argc, argv);
    QElapsedTimer clock;
    clock.start();
    auto* sound = new platform::SoundPlayer(game::kCueCount, [](std::size_t i, int rate) {
        return game::render(static_cast<game::Cue>(i), rate);
    });
    const qint64 made = clock.nsecsElapsed();
    qint64 slowestPlay = 0;
    for (std::size_t i = 0; i < game::kCueCount; ++i) {
        clock.restart();
        sound->play(i);
        slowestPlay = std::max(slowestPlay, clock.nsecsElapsed());
    }
    qCWarning(audioCategory) << "from the audio category";
    qWarning("PulseAudioService: from the sound server's thread");
    qWarning() << QStringLiteral("Stream error: from the sound server's thread, quoted");
    qWarning("not about audio");
    QTimer::singleShot(lifeMs, &app, &QCoreApplication::quit);
    app.exec();
    clock.restart();
    delete sound;
    std::printf("%lld %lld %lld\n", made / 1000, slowestPlay / 1000, clock.nsecsElapsed() / 1000);
    return 0;
}

}  // namespace

class TestSoundPlayer : public QObject {
    Q_OBJECT

private slots:
    void noSound_data();
    void noSound();
};

void TestSoundPlayer::noSound_data()
{
    QTest::addColumn<bool>("listening");  // a socket that never answers, or none
    QTest::addColumn<int>("lifeMs");
    QTest::addColumn<QString>("line");    // the one line expected, or none

    QTest::newRow("no server") << false << 300 << QStringLiteral("No sound: no sound server. The game plays on silently.");
    QTest::newRow("silent server") << true << 3500
                                   << QStringLiteral("No sound: the sound server does not answer. The game plays on silently.");
    QTest::newRow("silent server, player gone first") << true << 300 << QString();
}

void TestSoundPlayer::noSound()
{
    QFETCH(bool, listening);
    QFETCH(int, lifeMs);
    QFETCH(QString, line);

    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    const QByteArray path = runtime.filePath(QStringLiteral("native")).toLocal8Bit();
    int server = -1;
    if (listening) {
        // Takes connections into its backlog and never reads them.
        server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
        QVERIFY(::bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        QVERIFY(::listen(server, 8) == 0);
    }

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + QString::fromLocal8Bit(path));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    child.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--player"), QString::number(lifeMs)});
    QVERIFY(child.waitForFinished(lifeMs + 5000));
    const qint64 wallMs = clock.elapsed();
    if (server >= 0)
        ::close(server);
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    const QList<QByteArray> times = child.readAllStandardOutput().trimmed().split(' ');
    QCOMPARE(times.size(), 3);
    QVERIFY2(times[0].toLongLong() < 100'000, times[0] + " us to make the player");
    QVERIFY2(times[1].toLongLong() < 5'000, times[1] + " us for the slowest play()");
    QVERIFY2(times[2].toLongLong() < 200'000, times[2] + " us to end the player");
    QVERIFY2(wallMs < lifeMs + 2000, qPrintable(QString::number(wallMs) + " ms in all"));

    // Qt's messages about audio are dropped, others kept; of our own, at
    // most the one line.
    QStringList lines = QString::fromLocal8Bit(child.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.removeAll(QStringLiteral("not about audio")) == 1, qPrintable(lines.join('|')));
    QCOMPARE(lines, line.isEmpty() ? QStringList() : QStringList{line});
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--player") == 0)
        return player(argc, argv, std::atoi(argv[2]));
    QCoreApplication app(argc, argv);
    TestSoundPlayer test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sound_player.moc"
