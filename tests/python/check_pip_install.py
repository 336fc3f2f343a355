"""pip and python -m build without the internet: `pip install --no-build-isolation .` into a
virtual environment that sees Debian's packages, then a wheel from `python -m build
--no-isolation --wheel` installed into a second one; each installed package, imported from
outside the source tree, passes the typed API's tests (figures, the starter database, Ctrl-C).

Arguments: the source tree, a work folder kept between runs (its CMake build makes a second
run quick), the lamivex-cli to compare with."""

import os
import pathlib
import shutil
import subprocess
import sys

source, work, cli = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), sys.argv[3]
work.mkdir(parents=True, exist_ok=True)
env = {k: v for k, v in os.environ.items() if k not in ("PYTHONPATH", "PIP_INDEX_URL")}
env.update(LAMIVEX_PIP_BUILD_DIR=str(work / "cmake"), PIP_NO_INDEX="1",
           CMAKE_BUILD_PARALLEL_LEVEL="2")


def run(*args, cwd=work):
    print("$", " ".join(map(str, args)), flush=True)
    subprocess.run([str(a) for a in args], check=True, cwd=cwd, env=env)


def check(venv):
    python = venv / "bin" / "python"
    outside = work / "outside"
    outside.mkdir(exist_ok=True)
    # The installed package, not the source tree's: imported from a folder with no lamivex.
    run(python, "-c", "import lamivex, sys; assert 'site-packages' in lamivex.__file__, "
                      "lamivex.__file__; print(lamivex.__file__, lamivex._lamivex._locations())",
        cwd=outside)
    test = outside / "test_typed_api.py"
    shutil.copy(source / "tests" / "python" / "test_typed_api.py", test)
    env["LAMIVEX_CLI"] = cli
    env["LAMIVEX_TEST_DATA"] = str(source / "tests" / "data")
    run(python, "-m", "pytest", "-q", "-p", "no:cacheprovider", test, cwd=outside)


for name in ("venv-pip", "venv-wheel"):
    shutil.rmtree(work / name, ignore_errors=True)
    run("/usr/bin/python3", "-m", "venv", "--system-site-packages", work / name)

run(work / "venv-pip" / "bin" / "pip", "install", "--no-build-isolation", source)
check(work / "venv-pip")

wheels = work / "wheels"
shutil.rmtree(wheels, ignore_errors=True)
run("/usr/bin/python3", "-m", "build", "--no-isolation", "--wheel", "--outdir", wheels, source,
    cwd=source)
wheel = next(wheels.glob("lamivex-*.whl"))
run(work / "venv-wheel" / "bin" / "pip", "install", wheel)
check(work / "venv-wheel")
print("pip install and the wheel: both installed packages passed")
