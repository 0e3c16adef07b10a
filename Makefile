# Thin wrappers around CMake.
BUILD ?= build
EXAMPLE ?= examples/multiply

.PHONY: all build run install test test-sanitize fuzz bench lint clean web web-module web-serve

all: build

build:
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j 2

# Assemble the example program from the project root, where etc/ lives,
# and show its listing.
run: build
	./$(BUILD)/Assembler $(EXAMPLE).asm
	@echo "----- $(EXAMPLE).lst -----"
	@cat $(EXAMPLE).lst

# The three programs and the opcode table under PREFIX (bin/, share/).
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

test: build
	cd $(BUILD) && ctest --output-on-failure -j 2

# The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize:
	@cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPASS2_SANITIZE=ON >/dev/null
	@cmake --build build-sanitize -j 2
	cd build-sanitize && ctest --output-on-failure -j 2

# Every fuzz target for FUZZ_SECONDS seconds each.
FUZZ_SECONDS ?= 60
fuzz:
	bash fuzz/run.sh $(FUZZ_SECONDS)

# Large generated inputs, timed and counted; then the micro-benchmarks.
bench:
	bash bench/run.sh

# Bug-finding checks over every source of src/: clang-tidy with the checks of
# .clang-tidy, on the compile commands of a configured (not built)
# build-lint, then cppcheck; both always run, and a finding of either fails
# the target. The module's embind entry (src/web/main.cpp) only compiles with
# Emscripten's headers and is left to cppcheck.
LINT_BUILD ?= build-lint
CPPCHECK_FLAGS = --enable=warning,performance,portability --error-exitcode=1 --inline-suppr --quiet \
	--suppressions-list=.cppcheck-suppressions --std=c++17 --language=c++ -I src -j 2
lint:
	@cmake -S . -B $(LINT_BUILD) -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DBUILD_TESTING=OFF >/dev/null
	@status=0; \
	find src -name '*.cpp' ! -path src/web/main.cpp -print0 | sort -z | xargs -0 -n 4 -P 2 clang-tidy -p $(LINT_BUILD) --quiet || status=1; \
	cppcheck $(CPPCHECK_FLAGS) src || status=1; \
	if [ $$status -eq 0 ]; then echo "lint: no findings"; else echo "lint: findings above"; fi; \
	exit $$status

# The playground page: the libraries compiled to WebAssembly with Emscripten
# (emcmake; its JavaScript optimizer needs Debian's acorn on NODE_PATH), the
# module's wrapper and the examples, then the page's bundle (web/: npm ci
# when the lock file changed, and its build script, writing into SITE_DIR).
WEB_BUILD ?= build-web
WEB_SITE = $(WEB_BUILD)/site
WEB_PORT ?= 8085
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs$${NODE_PATH:+:$$NODE_PATH}
web-module:
	@$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@$(EMSCRIPTEN_ENV) cmake --build $(WEB_BUILD) -j 2
	@mkdir -p $(WEB_SITE)/examples
	@cp $(WEB_BUILD)/toolchain-core.js $(WEB_BUILD)/toolchain-core.wasm web/src/toolchain.js $(WEB_SITE)/
	@cp examples/*.asm $(WEB_SITE)/examples/

web: web-module
	@if [ -f web/package.json ]; then \
		cd web && { [ node_modules/.package-lock.json -nt package-lock.json ] || npm ci --no-audit --no-fund; } \
		&& SITE_DIR=$(abspath $(WEB_SITE)) npm run build; \
	fi

# Serves the built site on this machine only.
web-serve: web
	@echo "The playground page: http://127.0.0.1:$(WEB_PORT)/ (Ctrl-C stops the server)"
	@cd $(WEB_SITE) && python3 -m http.server $(WEB_PORT) --bind 127.0.0.1

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz build-bench $(LINT_BUILD) $(WEB_BUILD)
