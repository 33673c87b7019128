// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/audiomodule/mixformat.h"

#include <QAudioDevice>

#include <audioclient.h>
#include <ks.h>
#include <ksmedia.h>
#include <mmdeviceapi.h>
#include <objbase.h>
#include <wrl/client.h>

#include <string>

using Microsoft::WRL::ComPtr;

namespace {

QAudioFormat::SampleFormat sampleFormat(const WAVEFORMATEX &wave)
{
    bool isFloat = wave.wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
    if (wave.wFormatTag == WAVE_FORMAT_EXTENSIBLE && wave.cbSize >= 22) {
        const auto &extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE &>(wave);
        isFloat = IsEqualGUID(extensible.SubFormat, KSDATAFORMAT_SUBTYPE_IEEE_FLOAT);
        if (!isFloat && !IsEqualGUID(extensible.SubFormat, KSDATAFORMAT_SUBTYPE_PCM))
            return QAudioFormat::Unknown;
    } else if (!isFloat && wave.wFormatTag != WAVE_FORMAT_PCM) {
        return QAudioFormat::Unknown;
    }
    if (isFloat)
        return wave.wBitsPerSample == 32 ? QAudioFormat::Float : QAudioFormat::Unknown;
    switch (wave.wBitsPerSample) {
    case 8:
        return QAudioFormat::UInt8;
    case 16:
        return QAudioFormat::Int16;
    case 32:
        return QAudioFormat::Int32;
    default:
        return QAudioFormat::Unknown;
    }
}

// COM for this thread for as long as it lives, unless the thread already has it in the other
// model, which serves as well.
class ComScope
{
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) { }
    ~ComScope()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComScope(const ComScope &) = delete;
    ComScope &operator=(const ComScope &) = delete;

private:
    HRESULT m_result;
};

} // namespace

// Windows mixes every stream of a device in the one format its audio engine runs at. Qt 6.4's
// sink converts any other format through Media Foundation's resampler, which Windows N editions
// without their Media Feature Pack do not have, nor does Wine; there the sink refuses to start
// at all. Handed the mixer's own format, it passes the sound straight through.
QAudioFormat mixFormat(const QAudioDevice &device)
{
    const ComScope com;
    ComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&enumerator))))
        return {};
    // Qt names a device by its endpoint's ID.
    const std::wstring id = QString::fromUtf8(device.id()).toStdWString();
    ComPtr<IMMDevice> endpoint;
    if (FAILED(enumerator->GetDevice(id.c_str(), &endpoint)))
        return {};
    ComPtr<IAudioClient> client;
    if (FAILED(endpoint->Activate(__uuidof(IAudioClient), CLSCTX_INPROC_SERVER, nullptr,
                                  reinterpret_cast<void **>(client.GetAddressOf()))))
        return {};
    WAVEFORMATEX *wave = nullptr;
    if (FAILED(client->GetMixFormat(&wave)))
        return {};
    QAudioFormat format;
    format.setSampleRate(int(wave->nSamplesPerSec));
    format.setChannelCount(wave->nChannels);
    format.setSampleFormat(sampleFormat(*wave));
    CoTaskMemFree(wave);
    return format;
}
