"""Builds the extension lamivex._lamivex with the project's CMake build: only the module, the
painter it loads to write figures and the starter structure database, which go into the package
beside it (lamivex/lib/lamivex, lamivex/share/lamivex) where the module looks for them."""

import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        target = Path(self.get_ext_fullpath(ext.name)).resolve()
        package = target.parent
        # LAMIVEX_PIP_BUILD_DIR keeps the CMake build between runs (the tests use it).
        build = Path(os.environ.get("LAMIVEX_PIP_BUILD_DIR") or Path(self.build_temp) / "cmake")
        build = build.resolve()
        args = [f"-DPython3_EXECUTABLE={sys.executable}", "-DLAMIVEX_PYTHON_FROM_PIP=ON",
                "-DLAMIVEX_BUILD_APP=OFF", "-DLAMIVEX_BUILD_TESTS=OFF",
                "-DLAMIVEX_BUILD_BENCH=OFF", "-DCMAKE_BUILD_TYPE=Release"]
        try:
            import pybind11  # pip's pybind11 when it fetched one; else Debian's CMake files
            if Path(pybind11.get_cmake_dir()).is_dir():
                args.append(f"-Dpybind11_DIR={pybind11.get_cmake_dir()}")
        except ImportError:
            pass
        generator = ["-G", "Ninja"] if shutil.which("ninja") and not (build / "CMakeCache.txt").exists() else []
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), *generator, *args], check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "lamivex_python",
                        "lamivex_plot_module", "lamivex_structures_db"], check=True)
        built = next((build / "python" / "lamivex").glob("_lamivex*.so"))
        package.mkdir(parents=True, exist_ok=True)
        shutil.copy2(built, target)
        for folder, name in [("lib/lamivex", "lamivex-plot.so"),
                             ("share/lamivex", "structures.sqlite")]:
            (package / folder).mkdir(parents=True, exist_ok=True)
            shutil.copy2(build / folder / name, package / folder / name)


setup(
    packages=["lamivex"],
    package_dir={"lamivex": "python/lamivex"},
    package_data={"lamivex": ["*.pyi", "py.typed"]},
    ext_modules=[Extension("lamivex._lamivex", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    # Out of build/, which is the CMake build of the whole project.
    options={"build": {"build_base": "build-setuptools"},
             "egg_info": {"egg_base": "build-setuptools"}},
)
