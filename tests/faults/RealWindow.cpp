#include "RealWindow.h"

#include "components/player/CreateMediaPlayer.h"
#include "components/player/PlayerFault.h"
#include "components/recorder/CMP3Enc.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <thread>

RealWindowTest::RealWindowTest()
{
    environment.appName = "ardeno-recorder";
    environment.settingsPath = PathIn("ardeno-recorder.ini");
    environment.homePageUrl = "file:///guide.html";
}

RealWindowTest::~RealWindowTest() = default;

void RealWindowTest::Start(std::unique_ptr<IRecorder> recorder, std::unique_ptr<IMediaPlayer> player)
{
    dlg = std::make_unique<CRecorderDlg>(std::move(recorder), std::move(player), prompts, environment);
    dlg->OnInitDialog();
    dlg->show();
}

std::unique_ptr<IRecorder> RealWindowTest::RealRecorder(const std::string& input)
{
    return std::make_unique<CMP3Enc>(input);
}

std::unique_ptr<IMediaPlayer> RealWindowTest::RealPlayer()
{
    try {
        return CreateMediaPlayer();
    } catch (const PlayerFault& fault) {
        ADD_FAILURE() << "the player cannot be built: " << fault.what();
        return nullptr;
    }
}

void RealWindowTest::Click(int id)
{
    qobject_cast<QAbstractButton*>(dlg->Control(id))->click();
}

bool RealWindowTest::IsEnabled(int id) const
{
    return dlg->Control(id)->isEnabled();
}

std::string RealWindowTest::LabelText(int id) const
{
    return qobject_cast<QLabel*>(dlg->Control(id))->text().toStdString();
}

std::string RealWindowTest::PathIn(const std::string& name) const
{
    return dir.filePath(QString::fromStdString(name)).toStdString();
}

bool RealWindowTest::RunUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void RealWindowTest::RecordInto(const std::string& path)
{
    prompts.saveAnswers.push_back(path);
    Click(kSaveAs);
    Click(kRecord);
}
