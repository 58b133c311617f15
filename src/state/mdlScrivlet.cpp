#include "mdlScrivlet.h"

#include "OwnDeletions.h"
#include "Settings.h"

#include <QCoreApplication>
#include <memory>

namespace {

struct State
{
    QString programFolder;
    qint16 currentFileNumber = 0;
    std::unique_ptr<WRText> text;
    std::unique_ptr<INIAccess> settings;
    std::function<void()> exitHandler;
};

State& state()
{
    static State s;
    return s;
}

} // namespace

QString mdlScrivlet::programTitle()
{
    return QStringLiteral("Zormet Scrivlet");
}

QString mdlScrivlet::programFolder()
{
    return state().programFolder;
}

void mdlScrivlet::setProgramFolder(const QString& folder)
{
    State& s = state();
    if (s.programFolder == folder)
        return;
    s.programFolder = folder;
    // The accessor is bound to its folder; a new folder needs a new one.
    s.settings.reset();
}

qint16 mdlScrivlet::currentFileNumber()
{
    return state().currentFileNumber;
}

void mdlScrivlet::setCurrentFileNumber(qint16 number)
{
    state().currentFileNumber = number;
}

WRText& mdlScrivlet::sharedText()
{
    State& s = state();
    if (!s.text)
        s.text = std::make_unique<WRText>();
    return *s.text;
}

INIAccess& mdlScrivlet::sharedSettings()
{
    State& s = state();
    if (!s.settings)
        s.settings = std::make_unique<INIAccess>(settings::open(s.programFolder));
    return *s.settings;
}

void mdlScrivlet::exitProgram()
{
    if (state().exitHandler)
        state().exitHandler();
    else
        QCoreApplication::exit(0);
}

void mdlScrivlet::setExitHandler(std::function<void()> handler)
{
    state().exitHandler = std::move(handler);
}

void mdlScrivlet::resetForTesting()
{
    state() = State{};
    OwnDeletions::resetForTesting();
}
