"""The Python module over libzelnor.so: what it renders it hears at every
rate, whatever the chunks; what it masks nobody hears; failures carry the
library's reason."""

import errno
import wave

import numpy as np
import pytest

import zelnor

DIAL = "0123456789ABCD*#"
RATES = [8000, 16000, 44100, 48000]


def write_wave(path, samples, rate):
    with wave.open(str(path), "wb") as file:
        file.setnchannels(1)
        file.setsampwidth(2)
        file.setframerate(rate)
        file.writeframes(samples.astype("<i2").tobytes())


def with_noise(samples, seconds=1.0, rate=8000):
    """`samples` between two stretches of quiet noise."""
    noise = np.random.default_rng(1).normal(0, 30, int(seconds * rate) * 2).astype(np.int16)
    half = noise.size // 2
    return np.concatenate([noise[:half], samples, noise[half:]])


@pytest.mark.parametrize("rate", RATES)
def test_decode_hears_what_render_made_at_every_rate(rate):
    digits = zelnor.decode(zelnor.render(DIAL, rate=rate, tone_ms=60, gap_ms=60), rate)
    assert "".join(d.symbol for d in digits) == DIAL
    period = rate * 120 // 1000
    for index, digit in enumerate(digits):
        assert abs(digit.start - index * period) < rate // 100  # within 10 ms
        assert digit.channel == 0


def test_channels_are_heard_apart_in_float():
    tones = zelnor.render("12", rate=8000)
    later = np.concatenate([np.zeros(600, np.int16), tones[:-600]])  # the last gap cut
    stereo = np.stack([tones, later], axis=1) / 32768.0
    heard = [(d.symbol, d.channel, d.start // 600) for d in zelnor.decode(stereo, 8000)]
    assert heard == [("1", 0, 0), ("1", 1, 1), ("2", 0, 4), ("2", 1, 5)]


def test_a_receiver_fed_random_chunks_hears_what_one_call_hears():
    samples = with_noise(zelnor.render(DIAL, rate=8000, tone_ms=40, gap_ms=40))
    rng = np.random.default_rng(7)
    cuts = np.cumsum(rng.integers(1, 700, size=samples.size // 100))
    receiver = zelnor.Receiver(8000)
    heard = []
    for chunk in np.split(samples, cuts[cuts < samples.size]):
        heard += receiver.feed(chunk)
    assert heard + receiver.flush() == zelnor.decode(samples, 8000)


@pytest.mark.parametrize("replacement", ["silence", "noise", "beep"])
@pytest.mark.parametrize("dtype", [np.int16, np.float64])
def test_masked_samples_hold_no_tone_and_keep_the_rest(replacement, dtype):
    samples = with_noise(zelnor.render("159#", rate=8000)).astype(dtype)
    masked = zelnor.mask(samples, 8000, replacement)
    assert masked.dtype == samples.dtype and masked.shape == samples.shape
    assert zelnor.decode(masked, 8000) == []
    np.testing.assert_array_equal(masked[:3000], samples[:3000])
    np.testing.assert_array_equal(masked[-3000:], samples[-3000:])

    masker = zelnor.Masker(8000, replacement)
    streamed = np.concatenate([masker.process(c) for c in np.array_split(samples, 7)])
    streamed = np.concatenate([streamed, masker.flush()])[masker.delay :]
    np.testing.assert_array_equal(streamed, masked)


def test_a_file_masked_into_itself(tmp_path):
    path = tmp_path / "call.wav"
    write_wave(path, with_noise(zelnor.render("42#")), 8000)
    assert [d.symbol for d in zelnor.decode_file(path)] == ["4", "2", "#"]
    spans = zelnor.mask_file(path, path)
    assert len(spans) == 3 and all(s.channel == 0 and s.start < s.end for s in spans)
    assert zelnor.decode_file(path) == []
    assert [p.name for p in tmp_path.iterdir()] == ["call.wav"]


def test_errors_carry_the_library_s_reason(tmp_path):
    with pytest.raises(zelnor.Error) as missing:
        zelnor.decode_file(tmp_path / "none.wav")
    assert missing.value.errno == errno.ENOENT
    assert "No such file or directory" in str(missing.value)

    (tmp_path / "text.wav").write_bytes(b"not a recording at all")
    with pytest.raises(zelnor.Error, match="not a WAV file"):
        zelnor.decode_file(tmp_path / "text.wav")

    write_wave(tmp_path / "ok.wav", zelnor.render("1"), 8000)
    with pytest.raises(zelnor.Error) as unwritable:
        zelnor.mask_file(tmp_path / "ok.wav", tmp_path / "no" / "out.wav")
    assert unwritable.value.errno == errno.ENOENT

    with pytest.raises(zelnor.Error, match="invalid argument"):
        zelnor.render("1", rate=12345)
    with pytest.raises(zelnor.Error, match="invalid argument"):
        zelnor.Receiver(96000)
    with pytest.raises(TypeError):
        zelnor.decode(np.zeros(10, dtype=np.int32), 8000)
