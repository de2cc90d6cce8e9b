# Files written by real TIFF writers (tifffile, PIL, vips, tiffcp), inverted by kvaderon-cli and
# decoded by tifffile: each positive must be the inverse of its negative (signed samples: the
# sign bit kept, the other 15 bits flipped; alpha channels kept), inverting it again must give
# the negative back byte for byte, and floating-point files must be refused by both commands.
# Usage: OtherWriters.py KVADERON-CLI. Exits 77 (skipped) when a writer is missing.
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77

try:
    import numpy
    import tifffile
    from PIL import Image
except ImportError as error:
    print(f"skipped: {error}")
    sys.exit(SKIP)
for tool in ("vips", "tiffcp"):
    if shutil.which(tool) is None:
        print(f"skipped: {tool} is not installed")
        sys.exit(SKIP)

CLI = sys.argv[1]
FLOAT_REFUSAL = "Неподдерживаемый формат семплов: 3 (с плавающей точкой)"


def ramp(shape, dtype):
    values = numpy.arange(numpy.prod(shape), dtype=numpy.int64) * 7919 + 12345
    return (values % 65536).astype(numpy.uint16).view(dtype).reshape(shape)


def write_tifffile(path, data, **options):
    tifffile.imwrite(path, data, compression=None, **options)


def write_subifds(path, data, **options):
    # Two reduced copies as SubIFDs: tifffile chains them by their next-IFD offsets too.
    with tifffile.TiffWriter(path) as tif:
        tif.write(data, subifds=2, **options)
        tif.write(data[::2, ::2], subfiletype=1, **options)
        tif.write(data[::4, ::4], subfiletype=1, **options)


def write_pil(path, data):
    Image.fromarray(data, "I;16").save(path, compression=None)


def run(*arguments):
    return subprocess.run([CLI, *arguments], capture_output=True, text=True)


def alpha_channels(page):
    extra = page.tags.get("ExtraSamples")
    values = list(numpy.atleast_1d(extra.value)) if extra is not None else []
    bands = page.samplesperpixel
    return {bands - len(values) + i for i, value in enumerate(values) if value in (1, 2)}


def expected_positive(path):
    with tifffile.TiffFile(path) as tif:
        page = tif.pages[0]
        negative = page.asarray()
        alpha = alpha_channels(page)
        planar = page.planarconfig == 2 and page.samplesperpixel > 1
    mask = 0x7FFF if negative.dtype.kind == "i" else 0xFFFF
    flipped = negative.view(numpy.uint16) ^ numpy.uint16(mask)
    if alpha:
        axis = 0 if planar else negative.ndim - 1
        for channel in alpha:
            index = [slice(None)] * negative.ndim
            index[axis] = channel
            flipped[tuple(index)] = negative.view(numpy.uint16)[tuple(index)]
    return flipped.view(negative.dtype)


def invert(path, folder):
    os.makedirs(folder, exist_ok=True)
    result = run("invert", "--out", folder, path)
    return result, os.path.join(folder, os.path.basename(path))


failures = []


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")


def check_positive(name, path, work):
    result, positive = invert(path, os.path.join(work, "positive"))
    if result.returncode != 0:
        return check(name, False, result.stdout + result.stderr)
    decoded = tifffile.imread(positive)
    check(name, numpy.array_equal(decoded, expected_positive(path)), "the positive is not the inverse")
    again, restored = invert(positive, os.path.join(work, "again"))
    with open(path, "rb") as negative, open(restored, "rb") as back:
        check(name, again.returncode == 0 and negative.read() == back.read(), "inverting twice differs")
    analysis = run("analyze", path)
    check(name, analysis.returncode == 0, analysis.stdout + analysis.stderr)


def check_refused(name, path, work, reason):
    result, positive = invert(path, os.path.join(work, "positive"))
    check(name, result.returncode != 0 and reason in result.stdout + result.stderr, "invert took it")
    check(name, not os.path.exists(positive), "a positive was written")
    analysis = run("analyze", path)
    check(name, reason in analysis.stdout + analysis.stderr, "analyze took it")


def vips_copy(source, target):
    subprocess.run(["vips", "copy", source, target + "[compression=none]"], check=True)


def tiffcp(source, target, *options):
    subprocess.run(["tiffcp", "-c", "none", *options, source, target], check=True)


def cases(work):
    def at(name):
        return os.path.join(work, name)

    rgb_signed = ramp((6, 5, 3), numpy.int16)
    grey = ramp((6, 5), numpy.uint16)
    rgb = ramp((8, 8, 3), numpy.uint16)
    yield "tifffile signed interleaved", lambda p: write_tifffile(p, rgb_signed, photometric="rgb"), None
    yield "tifffile signed planar", lambda p: write_tifffile(
        p, numpy.moveaxis(rgb_signed, 2, 0), photometric="rgb", planarconfig="separate"), None
    yield "tiffcp signed planar", lambda p: (
        write_tifffile(at("signed-source.tif"), numpy.moveaxis(rgb_signed, 2, 0), photometric="rgb",
                       planarconfig="separate"),
        tiffcp(at("signed-source.tif"), p)), None
    yield "tifffile float interleaved", lambda p: write_tifffile(
        p, rgb_signed.view(numpy.float16), photometric="rgb"), FLOAT_REFUSAL
    yield "tifffile float planar", lambda p: write_tifffile(
        p, numpy.moveaxis(rgb_signed, 2, 0).view(numpy.float16), photometric="rgb", planarconfig="separate"), \
        FLOAT_REFUSAL
    for extra in ([2, 0], [0, 1], [1, 2], [0, 0]):
        five = ramp((4, 6, 5), numpy.uint16)
        yield f"tifffile RGB + ExtraSamples {extra}", lambda p, e=extra, d=five: write_tifffile(
            p, d, photometric="rgb", planarconfig="contig", extrasamples=e), None
        yield f"tifffile planar RGB + ExtraSamples {extra}", lambda p, e=extra, d=five: write_tifffile(
            p, numpy.moveaxis(d, 2, 0), photometric="rgb", planarconfig="separate", extrasamples=e), None
    yield "vips 5-band RGB", lambda p: (
        write_tifffile(at("five-source.tif"), ramp((4, 6, 5), numpy.uint16), photometric="rgb",
                       planarconfig="contig", extrasamples=[2, 0]),
        vips_copy(at("five-source.tif"), p)), None
    yield "vips RGB with alpha", lambda p: (
        write_tifffile(at("rgba-source.tif"), ramp((4, 6, 4), numpy.uint16), photometric="rgb",
                       planarconfig="contig", extrasamples=[2]),
        vips_copy(at("rgba-source.tif"), p)), None
    yield "PIL grey without SamplesPerPixel", lambda p: write_pil(p, grey), None
    yield "tifffile SubIFDs of type IFD, chained", lambda p: write_subifds(p, rgb, photometric="rgb"), None

def main():
    with tempfile.TemporaryDirectory() as work:
        for number, (name, write, refusal) in enumerate(cases(work)):
            folder = os.path.join(work, str(number))
            os.makedirs(folder)
            path = os.path.join(folder, "negative.tif")
            try:
                write(path)
            except Exception as error:  # a writer that cannot make this kind is a failure of the test
                check(name, False, f"the writer failed: {error}")
                continue
            if refusal is None:
                check_positive(name, path, folder)
            else:
                check_refused(name, path, folder, refusal)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


sys.exit(main())
