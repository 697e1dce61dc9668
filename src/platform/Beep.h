#pragma once

#include <memory>

class QAudioSink;
class QBuffer;

// A short tone to confirm a sale. Windows call it through this interface so tests can record it.
class Beep {
public:
    virtual ~Beep() = default;
    virtual void play(int hertz, int milliseconds) = 0;
};

// A generated sine tone on the default audio output; silent where the machine has none.
class ToneBeep : public Beep {
public:
    ToneBeep();
    ~ToneBeep() override;
    void play(int hertz, int milliseconds) override;
    bool hasAudioOutput() const;

private:
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};
