#pragma once

#include <sys/prctl.h>

#include <QProcess>
#include <QStringList>
#include <csignal>

#include "support/DirectPlayTestPorts.h"
#include "support/SpinEventLoop.h"

namespace scopewatch::testing {

// The demo session host as a process of its own (the build tree's scopewatch-demo-host) on
// 127.0.0.1 and the ports of a test port number, with more options. It ends with this object,
// and with the test even when the test dies.
class DemoHostProcess {
  public:
    DemoHostProcess(uint16_t portNumber, const QStringList& options)
        : ports_(DirectPlayTestPorts(portNumber)) {
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process_.start(
            qEnvironmentVariable("SCOPEWATCH_BUILD_DIR") + "/scopewatch-demo-host",
            QStringList{"--bind", "127.0.0.1", "--enum-port", QString::number(ports_.enumPort),
                        "--port-first", QString::number(ports_.rangeFirst), "--port-last",
                        QString::number(ports_.rangeLast)} +
                options);
    }
    ~DemoHostProcess() {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    DemoHostProcess(const DemoHostProcess&) = delete;
    DemoHostProcess& operator=(const DemoHostProcess&) = delete;

    // Waits until the session runs; false when it did not within 10 seconds.
    bool Running() {
        return SpinUntil([&] { return (output_ += process_.readAll()).contains("is running"); },
                         10000);
    }
    const directplay::PortPlan& ports() const { return ports_; }

  private:
    directplay::PortPlan ports_;
    QProcess process_;
    QByteArray output_;
};

}  // namespace scopewatch::testing
