// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VideoImportRun.h"

#include "platform/video/VideoFile.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace lumidot {

namespace {

// How often the progress dialog looks at the worker's count.
constexpr int kProgressIntervalMs = 50;

// What the worker tells the window's thread, and the Cancel it hears.
struct Shared {
    std::atomic<std::int64_t> done{0};
    std::atomic<std::int64_t> total{-1};
    std::atomic<bool> cancelled{false};
};

// The samples count up to the total, which a clip of unknown length lacks:
// the dialog then shows a busy bar.
void showProgress(QProgressDialog& dialog, const Shared& shared)
{
    const std::int64_t total = shared.total;
    const std::int64_t done = shared.done;
    if (total <= 0) {
        dialog.setRange(0, 0);
        return;
    }
    dialog.setRange(0, 1000);
    dialog.setValue(static_cast<int>(std::min<std::int64_t>(1000, done * 1000 / total)));
}

} // namespace

VideoImportRun::VideoImportRun(std::unique_ptr<VideoFile> file, const VideoImportChoices& choices,
                               const VirtualArea& plane)
    : file_(std::move(file))
    , choices_(choices)
{
    plane_.copyFrom(plane);
}

VideoImport VideoImportRun::run(QWidget* parent, const Progress& progress)
{
    Shared shared;
    VideoImport result;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        result = importVideo(*file_, choices_, plane_, [&](std::int64_t done, std::int64_t total) {
            shared.done = done;
            shared.total = total;
            if (progress && !progress(done, total))
                shared.cancelled = true;
            return !shared.cancelled;
        });
    }));

    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    std::unique_ptr<QProgressDialog> dialog;
    QTimer poll;
    if (!progress) {
        dialog = std::make_unique<QProgressDialog>(QCoreApplication::translate("VideoImportRun", "動画をドットに変換しています..."),
                                                   QCoreApplication::translate("VideoImportRun", "キャンセル"), 0, 0, parent);
        dialog->setWindowTitle(QStringLiteral("Lumidot"));
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(300);
        QObject::connect(dialog.get(), &QProgressDialog::canceled, dialog.get(),
                         [&shared] { shared.cancelled = true; });
        QObject::connect(&poll, &QTimer::timeout, dialog.get(), [&] { showProgress(*dialog, shared); });
        poll.start(kProgressIntervalMs);
    }
    worker->start();
    loop.exec();
    worker->wait();
    return result;
}

} // namespace lumidot
