# ZEL: the two commands a user needs are `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES := cmake g++ make pkg-config ninja-build qt6-base-dev liblua5.4-dev duktape-dev \
            libopenal-dev libgtest-dev libgmock-dev libbenchmark-dev dbus clang libclang-rt-14-dev \
            libutf8proc-dev libncurses-dev libtermkey-dev tmux locales fonts-dejavu-core
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps build run demo test bench fuzz format clean

all: build

# Installs the Debian packages that are missing; quick when all are present.
deps:
	@missing=$$(for p in $(PACKAGES); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -z "$$missing" ]; then echo "deps: all packages present"; \
	else echo "deps: installing$$(echo $$missing | sed 's/^/ /')"; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Starts the demo world on a free port and the client connected to it, and ends them together:
# the window when a display is there, else the terminal interface. The world's first line,
# read through a FIFO, says its port. With ARGS (make run ARGS="host 4000") the client plays
# there instead, without the demo world.
run: build
	@if [ -n "$(ARGS)" ]; then exec $(BUILD)/zel $(ARGS); fi; \
	fifo=$$(mktemp -u); mkfifo $$fifo; \
	$(BUILD)/zel-demo-server > $$fifo & server=$$!; \
	trap 'kill $$server 2>/dev/null; rm -f $$fifo' EXIT; trap 'exit 130' INT TERM; \
	read -r line < $$fifo; port=$${line##*:}; \
	case "$$line" in "listening on 127.0.0.1:"[0-9]*) ;; \
	    *) echo "run: the demo world did not start" >&2; exit 1;; esac; \
	echo "run: the demo world listens on port $$port"; \
	$(BUILD)/zel 127.0.0.1 $$port

demo: run

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/zel_bench $(BENCH_ARGS)

# Coverage-guided fuzzing with clang's libFuzzer: make fuzz TARGET=AnsiFuzzer
fuzz: deps
	cmake -S fuzz -B $(BUILD)-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD)-fuzz -j $(JOBS)
	mkdir -p $(BUILD)-fuzz/corpus/$(TARGET)
	# New inputs go to the scratch corpus (first folder); the committed seeds stay as they are.
	$(BUILD)-fuzz/$(TARGET) -max_total_time=$${SECONDS_TO_RUN:-60} \
	    $(BUILD)-fuzz/corpus/$(TARGET) fuzz/corpus/$(TARGET)

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

# The picture of the desktop window (docs/window.png): the window on a virtual X display,
# connected to the demo world.
.PHONY: screenshot
screenshot: build
	tools/screenshot.sh $(BUILD) docs/window.png

clean:
	rm -rf $(BUILD) $(BUILD)-fuzz
