#include "platform/Beep.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QtMath>

namespace {

constexpr int kSampleRate = 22050;

QByteArray sineTone(int hertz, int milliseconds) {
    const int samples = kSampleRate * milliseconds / 1000;
    QByteArray pcm(samples * int(sizeof(qint16)), Qt::Uninitialized);
    auto *out = reinterpret_cast<qint16 *>(pcm.data());
    // A few milliseconds of fade at both ends keep the tone free of clicks.
    const int fade = qMin(samples / 2, kSampleRate / 200);
    for (int i = 0; i < samples; ++i) {
        double gain = 0.4;
        if (i < fade) gain *= double(i) / fade;
        if (samples - 1 - i < fade) gain *= double(samples - 1 - i) / fade;
        out[i] = qint16(gain * 32767.0 * qSin(2.0 * M_PI * hertz * i / kSampleRate));
    }
    return pcm;
}

} // namespace

ToneBeep::ToneBeep() = default;

ToneBeep::~ToneBeep() {
    if (m_sink) m_sink->stop();
}

bool ToneBeep::hasAudioOutput() const {
    return !QMediaDevices::defaultAudioOutput().isNull();
}

void ToneBeep::play(int hertz, int milliseconds) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || hertz <= 0 || milliseconds <= 0) return;
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) return;

    if (m_sink) m_sink->stop();
    m_sink = std::make_unique<QAudioSink>(device, format);
    m_buffer = std::make_unique<QBuffer>();
    m_buffer->setData(sineTone(hertz, milliseconds));
    m_buffer->open(QIODevice::ReadOnly);
    m_sink->start(m_buffer.get());
}
