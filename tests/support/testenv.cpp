// The test environment's fakes, wired into one Services bundle.
#include "support/testenv.h"

#include "core/appdir.h"

TestEnv::TestEnv(const QDateTime &start) {
    auto c = std::make_unique<SimClock>(start);
    clock = c.get();
    services.clock = std::move(c);
    auto m = std::make_unique<FakeMciPlayer>();
    mci = m.get();
    services.mci = std::move(m);
    auto p = std::make_unique<FakeMp3Player>();
    mp3 = p.get();
    services.mp3 = std::move(p);
    auto x = std::make_unique<FakeMixer>();
    mixer = x.get();
    services.mixer = std::move(x);
    auto s = std::make_unique<FakeShutdown>();
    shutdown = s.get();
    services.shutdown = std::move(s);
    auto d = std::make_unique<FakeDialogs>();
    dialogs = d.get();
    services.dialogs = std::move(d);
    services.beep = [this] { ++beeps; };
    services.quit = [this] { ++quits; };
    services.appDir = AppDirFrom(dir.path());
    auto stamp = [this](const QString &entry) { timeline << clock->now().toString("HH:mm:ss ") + entry; };
    mci->onRecord = stamp;
    mp3->onRecord = stamp;
    mixer->onSpeaker = [stamp](long v) { stamp(QStringLiteral("volume %1").arg(v)); };
    services.prepareMidi = [stamp] { stamp(QStringLiteral("prepare MIDI")); };
}
