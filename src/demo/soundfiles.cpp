// Writers of short sounds: a PCM WAV, a Standard MIDI File and an MP3, each of a given length.
#include "demo/soundfiles.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <gst/gst.h>
#include <cmath>

namespace {

bool writeAll(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

void put16(QByteArray &b, quint16 v) {
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
void put32(QByteArray &b, quint32 v) {
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
void put32be(QByteArray &b, quint32 v) {
    char c[4];
    qToBigEndian(v, c);
    b.append(c, 4);
}
void put16be(QByteArray &b, quint16 v) {
    char c[2];
    qToBigEndian(v, c);
    b.append(c, 2);
}

QByteArray wavHeader(quint32 dataBytes) {
    constexpr quint32 rate = 44100;
    QByteArray b;
    b += "RIFF";
    put32(b, 36 + dataBytes);
    b += "WAVE";
    b += "fmt ";
    put32(b, 16);
    put16(b, 1);  // PCM
    put16(b, 1);  // mono
    put32(b, rate);
    put32(b, rate * 2);  // bytes a second
    put16(b, 2);         // bytes a frame
    put16(b, 16);        // bits a sample
    b += "data";
    put32(b, dataBytes);
    return b;
}

// MIDI delta times are big-endian base-128 with a continuation bit.
void putVarLen(QByteArray &b, quint32 v) {
    QByteArray rev;
    rev.append(char(v & 0x7f));
    while (v >>= 7)
        rev.append(char((v & 0x7f) | 0x80));
    for (qsizetype i = rev.size() - 1; i >= 0; --i)
        b.append(rev[i]);
}

}  // namespace

namespace SoundFiles {

bool writeWav(const QString &path, int ms, int frequencyHz) {
    constexpr int rate = 44100;
    const int frames = rate * ms / 1000;
    QByteArray b = wavHeader(quint32(frames) * 2);
    for (int i = 0; i < frames; ++i)
        put16(b, quint16(qint16(std::lround(12000.0 * std::sin(2.0 * M_PI * frequencyHz * i / rate)))));
    return writeAll(path, b);
}

bool writeMidi(const QString &path, int ms, int note) {
    constexpr quint16 division = 480;  // ticks a quarter note; 500 000 µs a quarter = 120 bpm
    const quint32 ticks = quint32(qint64(ms) * division / 500);
    QByteArray track;
    putVarLen(track, 0);
    track += QByteArray("\xFF\x51\x03\x07\xA1\x20", 6);  // tempo 500 000 µs a quarter
    putVarLen(track, 0);
    track += QByteArray("\xC0\x13", 2);  // church organ: holds its level, so its end is the note's end
    putVarLen(track, 0);
    const char key = char(note & 0x7f);
    track.append(char(0x90)).append(key).append(char(0x64));  // on
    putVarLen(track, ticks);
    track.append(char(0x80)).append(key).append(char(0x40));  // off
    putVarLen(track, 0);
    track += QByteArray("\xFF\x2F\x00", 3);  // end of track

    QByteArray b;
    b += "MThd";
    put32be(b, 6);
    put16be(b, 0);  // format 0
    put16be(b, 1);  // one track
    put16be(b, division);
    b += "MTrk";
    put32be(b, quint32(track.size()));
    b += track;
    return writeAll(path, b);
}

bool writeMp3(const QString &path, int ms, int frequencyHz) {
    if (!gst_is_initialized() && !gst_init_check(nullptr, nullptr, nullptr))
        return false;
    GError *err = nullptr;
    GstElement *pipeline = gst_parse_launch(
        "audiotestsrc wave=sine samplesperbuffer=441 name=src"
        " ! audio/x-raw,rate=44100,channels=1 ! audioconvert"
        " ! lamemp3enc target=bitrate cbr=true bitrate=128 ! filesink name=out",
        &err);
    if (!pipeline) {
        g_clear_error(&err);
        return false;
    }
    g_clear_error(&err);
    GstElement *src = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    GstElement *out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_object_set(src, "num-buffers", ms / 10, "freq", double(frequencyHz), nullptr);
    g_object_set(out, "location", QFile::encodeName(path).constData(), nullptr);
    gst_object_unref(src);
    gst_object_unref(out);

    bool ok = gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    if (ok) {
        GstBus *bus = gst_element_get_bus(pipeline);
        GstMessage *msg =
            gst_bus_timed_pop_filtered(bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
        if (msg)
            gst_message_unref(msg);
        gst_object_unref(bus);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok && QFile(path).size() > 0;
}

}  // namespace SoundFiles
