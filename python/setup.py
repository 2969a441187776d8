"""Builds rawlet._rawlet with the project's CMake tree (the folder above) and packages it with
the files of rawlet/."""
import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = pathlib.Path(__file__).resolve().parent
SOURCE = HERE.parent


def product_version():
    text = (SOURCE / "CMakeLists.txt").read_text()
    return re.search(r"project\(Rawlet VERSION ([0-9.]+)", text).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        subprocess.check_call(["cmake", "-S", str(SOURCE), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                               "-DRAWLET_BUILD_TESTS=OFF", "-DRAWLET_BUILD_PYTHON=ON",
                               f"-DPython3_EXECUTABLE={sys.executable}"])
        subprocess.check_call(["cmake", "--build", str(build), "--target", "rawlet_python",
                               "-j", str(os.cpu_count() or 1)])
        built = next((build / "python" / "rawlet").glob("_rawlet*.so"))
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(
    name="rawlet",
    version=product_version(),
    description="Send bytes to a printer in raw form",
    packages=["rawlet"],
    package_data={"rawlet": ["py.typed", "*.pyi"]},
    ext_modules=[Extension("rawlet._rawlet", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    python_requires=">=3.9",
)
