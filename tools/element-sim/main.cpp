// SPDX-License-Identifier: GPL-3.0-or-later
// ondalink-element-sim: plays Network Elements on UDP, or pages them with --probe.
#include "element_simulator.h"
#include "element_wire.h"
#include "interface_mover.h"
#include "paging_probe.h"
#include "sim_arguments.h"
#include "sim_control.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using namespace ondalink::sim;

namespace {

int runProbe(const RunOptions &options) {
    auto *probe = new PagingProbe(qApp);
    QTextStream out(stdout);
    // The probe answers only while exec() below runs, within out's life.
    QObject::connect(
        probe, &PagingProbe::answered, probe,
        [&out](const QHostAddress &from, const QByteArray &data) { // clazy:exclude=lambda-in-connect
            out << describeReport(from, data) << Qt::endl;
        });
    QObject::connect(probe, &PagingProbe::finished, probe,
                     [&out](int answers) { // clazy:exclude=lambda-in-connect
                         out << "answers: " << answers << Qt::endl;
                         QCoreApplication::exit(0);
                     });
    if (!probe->start(options.probeAddress, options.probePort, options.probeWaitMs, options.probePayload)) {
        QTextStream(stderr) << "probe failed: " << probe->errorString() << Qt::endl;
        return 1;
    }
    return QCoreApplication::exec();
}

int runTell(const RunOptions &options) {
    QString error;
    const std::optional<QString> reply =
        tellSimulator(static_cast<quint16>(options.controlPort), options.tell, options.probeWaitMs, error);
    if (!reply) {
        QTextStream(stderr) << error << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << *reply << Qt::endl;
    return reply->contains(u"refused: "_s) ? 1 : 0;
}

bool startAll(const std::vector<ElementSimulator *> &elements) {
    for (ElementSimulator *element : elements) {
        if (!element->start()) {
            QTextStream(stderr) << "cannot start: " << element->errorString() << Qt::endl;
            return false;
        }
    }
    return true;
}

// On a lab host each element first gets its address on the interface, one after the other.
void assignThenStart(const std::vector<ElementSimulator *> &elements, const std::vector<SimConfig> &configs,
                     InterfaceMover *mover, size_t next) {
    if (next == configs.size()) {
        if (!startAll(elements))
            QCoreApplication::exit(1);
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection =
        QObject::connect(mover, &InterfaceMover::finished, mover, [=](bool ok, const QString &detail) {
            QObject::disconnect(*connection);
            if (!ok) {
                QTextStream(stderr) << detail << Qt::endl;
                QCoreApplication::exit(1);
                return;
            }
            assignThenStart(elements, configs, mover, next + 1);
        });
    const SimConfig &config = configs[next];
    mover->assign(config.settings.ip, prefixLength(config.settings.mask).value_or(24));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"ondalink-element-sim"_s);
    SimArguments arguments;
    if (!arguments.parse(QCoreApplication::arguments())) {
        QTextStream(stderr) << arguments.error() << Qt::endl;
        return 2;
    }
    if (arguments.helpRequested()) {
        QTextStream(stdout) << arguments.helpText();
        return 0;
    }
    const RunOptions &options = arguments.options();
    if (options.probe)
        return runProbe(options);
    if (!options.tell.isEmpty())
        return runTell(options);

    auto sink = std::make_shared<QFile>();
    const bool opened = options.logPath.isEmpty() ? sink->open(stderr, QIODevice::WriteOnly)
                                                  : (sink->setFileName(options.logPath),
                                                     sink->open(QIODevice::Append | QIODevice::Text));
    if (!opened) {
        QTextStream(stderr) << "cannot open the log " << options.logPath << ": " << sink->errorString()
                            << Qt::endl;
        return 2;
    }
    std::vector<SimConfig> configs;
    std::vector<ElementSimulator *> elements;
    for (int i = 0; i < options.count; ++i) {
        configs.push_back(options.count == 1 ? options.element : nthElement(options.element, i));
        auto *element = new ElementSimulator(configs.back(), &app);
        QObject::connect(element, &ElementSimulator::logLine, element, [sink](const QString &line) {
            sink->write(line.toUtf8() + '\n');
            sink->flush();
        });
        elements.push_back(element);
    }
    if (options.controlPort >= 0) {
        auto *channel = new ControlChannel(elements, &app);
        if (!channel->start(static_cast<quint16>(options.controlPort))) {
            QTextStream(stderr) << "cannot start: " << channel->errorString() << Qt::endl;
            return 1;
        }
    }
    const Endpoint &endpoint = options.element.endpoint;
    if (endpoint.interfaceName.isEmpty()) {
        if (!startAll(elements))
            return 1;
    } else {
        auto *mover = new InterfaceMover(endpoint.ipCommand, endpoint.interfaceName, &app);
        assignThenStart(elements, configs, mover, 0);
    }
    return QCoreApplication::exec();
}
