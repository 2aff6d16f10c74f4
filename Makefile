# Convenience entry points over the CMake presets.
#   make demo          install what smbios-inspect needs, build it and read
#                      the SMBIOS table of a captured SeaBIOS image
#   make test          install what is missing, then build and test the dev
#                      preset (also under valgrind, and lint the tree), a
#                      tree configured the plain way (test-plain), the
#                      asan preset, the fuzz preset (each fuzz target for a
#                      minute), the windows preset (the Windows tests run
#                      under wine in a wine prefix made afresh for the run)
#                      and the bench preset (every benchmark once, briefly),
#                      and the packages (the Debian package installed with
#                      dpkg and removed again, the Windows zip unpacked)
#   make package       build the Debian package and the Windows zip
#   make bench         build the bench preset, run the benchmarks and compare
#                      smbios-inspect with dmidecode (docs/performance.md)
#   make test-PRESET   build and test one preset
#   make test-plain    configure build/plain with plain `cmake -S . -B`
#                      (the default generator, Unix Makefiles, and no build
#                      type), build it and run its tests
#   make deps          install the Debian packages the build needs
#   make clean         remove every build tree


PRESETS := dev asan fuzz release windows bench

DEMO_IMAGE := tests/data/qemu/seabios-pc-oem-strings.img
INSPECT := build/release/tools/smbios-inspect

.PHONY: help demo test bench deps clean package test-package test-plain $(addprefix test-,$(PRESETS))

help:
	@awk '!/^#/ { exit } { sub(/^# ?/, ""); print }' Makefile

# The demo builds one program: it installs only what that needs, and
# configures without the tests.
demo:
	scripts/install-deps --demo
	cmake --preset release -DTARNWICK_BUILD_TESTS=OFF
	cmake --build --preset release --target smbios-inspect
	$(INSPECT) --image $(DEMO_IMAGE) list
	$(INSPECT) --image $(DEMO_IMAGE) system-id

test: deps
	$(MAKE) --no-print-directory test-dev
	scripts/lint build/dev
	scripts/valgrind-tests build/dev
	$(MAKE) --no-print-directory test-plain
	$(MAKE) --no-print-directory test-asan
	$(MAKE) --no-print-directory test-fuzz
	$(MAKE) --no-print-directory test-windows
	$(MAKE) --no-print-directory test-bench
	$(MAKE) --no-print-directory test-package
	@echo "make test: all passed (dev, lint, valgrind, plain, asan, fuzz, windows, bench, packages)"

bench: deps
	cmake --preset bench
	cmake --build --preset bench
	build/bench/bench/tarnwick-bench --benchmark_repetitions=6 --benchmark_min_time=0.3 \
		--benchmark_report_aggregates_only=true
	bench/compare-dmidecode

deps:
	scripts/install-deps

# The Debian package (build/package/packages) and the Windows zip
# (build/windows-release/packages), both from optimised builds.
package:
	cmake --preset package
	cmake --build --preset package
	cpack --preset package
	cmake --preset windows-release
	cmake --build --preset windows-release
	cpack --preset windows

# check-deb and check-zip exit 77 when they cannot run here (no root, no
# wine): they say SKIPPED, and the run goes on.
test-package: export WINEDEBUG = -all
test-package: package
	tests/package/check-deb build/package/packages/tarnwick_*_amd64.deb build/package/check-deb || [ $$? -eq 77 ]
	tests/package/check-zip build/windows-release/packages/tarnwick-*-windows-x86_64.zip \
		build/windows-release/check-zip build/windows-release/wineprefix || [ $$? -eq 77 ]

# A fresh wine prefix for every Windows test run.
test-windows: export WINEDEBUG = -all
test-windows: fresh-wine-prefix
.PHONY: fresh-wine-prefix
fresh-wine-prefix:
	rm -rf build/windows/wineprefix build/windows/wineprefix.lock

define preset_rules
test-$(1):
	cmake --preset $(1)
	cmake --build --preset $(1)
	ctest --preset $(1)
endef
$(foreach preset,$(PRESETS),$(eval $(call preset_rules,$(preset))))

# The tests pass however a newcomer configures the tree, not only through
# the presets (which use Ninja).
test-plain:
	cmake -S . -B build/plain
	cmake --build build/plain --parallel 2
	cd build/plain && ctest --parallel 2 --output-on-failure --no-tests=error

clean:
	rm -rf build
