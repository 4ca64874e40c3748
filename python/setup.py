"""The Python package vkx: its pure-Python half (vkx/) and the compiled
calculation (vkx._vkx), built by the project's CMake from the checkout this
folder is in.

    pip install --no-build-isolation ./python

builds the calculation in pip's build folder. VKX_PACKAGE_BUILD names a
build folder of the checkout configured with -DVKX_PYTHON=ON whose module is
taken instead (the test suite's, so that the calculation is built once);
VKX_JOBS the compile jobs (default: every core).
"""

import os
import shutil
import subprocess
import sys
import sysconfig
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent


def version():
    """The one version of the program and its packages (scripts/version.sh)."""
    run = subprocess.run(["sh", str(ROOT / "scripts" / "version.sh")], capture_output=True,
                         text=True, check=True)
    return run.stdout.strip()


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        shared = os.environ.get("VKX_PACKAGE_BUILD")
        if shared:
            build = Path(shared).resolve()
        else:
            build = Path(self.build_temp).resolve() / "cmake"
            build.mkdir(parents=True, exist_ok=True)
            subprocess.run(
                [
                    "cmake", "-S", str(ROOT), "-B", str(build),
                    "-DCMAKE_BUILD_TYPE=Release", "-DVKX_PYTHON=ON",
                    "-DBUILD_TESTING=OFF", "-DVKX_BENCH=OFF",
                    "-DPython_EXECUTABLE=" + sys.executable,
                ],
                check=True,
            )
        jobs = os.environ.get("VKX_JOBS", str(os.cpu_count() or 1))
        subprocess.run(
            ["cmake", "--build", str(build), "--target", "vkx_python", "-j", jobs], check=True
        )
        suffix = sysconfig.get_config_var("EXT_SUFFIX")
        built = build / "python" / ("_vkx" + suffix)
        if not built.exists():
            sys.exit("setup.py: %s has no module for this Python (%s)" % (build, suffix))
        target = Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


setup(
    name="vkx",
    version=version(),
    description="A-priori voting power: Shapley-Shubik, Banzhaf, public good, Deegan-Packel "
    "and Coleman indices of weighted and composite voting bodies",
    long_description=(HERE / "vkx" / "__init__.py").read_text().split('"""')[1],
    long_description_content_type="text/plain",
    packages=["vkx"],
    ext_modules=[Extension("vkx._vkx", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    python_requires=">=3.9",
    extras_require={"pandas": ["pandas"], "plot": ["matplotlib"]},
    zip_safe=False,
)
