#!/usr/bin/env python3
"""storcoll's metrics against the real Prometheus tools.

    fleet_check.py STORCOLL GROUP

GROUP is one of:
  textfile  `--format prom` of the default machine passes `promtool check
            metrics`, and node_exporter's textfile collector serves it.
  serve     `storcoll serve` answers /metrics and /, shares a burst of scrapes
            in one collection, a real Prometheus scrapes it and answers a query
            for a storcoll_ series, and SIGTERM stops it with exit code 0.
  listen    a bad address and a port in use give their message and exit code.

Every server listens on 127.0.0.1 only and is stopped here; every wait is
bounded in tries and seconds.
"""
import concurrent.futures
import json
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

STORCOLL = sys.argv[1]
USAGE_ERROR = 2
LISTEN_FAILED = 5


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def get(url, timeout=10):
    with urllib.request.urlopen(url, timeout=timeout) as response:
        return response.status, response.headers.get("Content-Type", ""), response.read().decode()


def until(what, attempt, tries=60, pause=0.5):
    """Calls attempt() until it returns something true, at most `tries` times."""
    last = None
    for _ in range(tries):
        try:
            result = attempt()
            if result:
                return result
        except OSError as error:
            last = error
        time.sleep(pause)
    raise AssertionError(f"{what}: gave up after {tries} tries ({last})")


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=5)


def tool(name):
    path = shutil.which(name) or shutil.which(name, path="/usr/bin:/usr/sbin")
    if not path:
        raise AssertionError(f"{name} is not installed (scripts/setup.sh installs it)")
    return path


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def textfile(work):
    metrics = subprocess.run([STORCOLL, "collect", "--format", "prom"], capture_output=True, text=True, timeout=120)
    check(metrics.returncode == 0, f"storcoll --format prom exit {metrics.returncode}: {metrics.stderr}")
    for name in ("storcoll_collection_success", "storcoll_disk_health", "storcoll_smart_attribute_raw_value",
                 "storcoll_nvme_temperature_celsius", "storcoll_disk_size_bytes"):
        check(f"\n{name}{{" in metrics.stdout, f"{name} missing from --format prom")
    lint = subprocess.run([tool("promtool"), "check", "metrics"], input=metrics.stdout, capture_output=True,
                          text=True, timeout=60)
    check(lint.returncode == 0, f"promtool check metrics:\n{lint.stdout}{lint.stderr}")

    directory = os.path.join(work, "textfile")
    os.mkdir(directory)
    with open(os.path.join(directory, "storcoll.prom"), "w") as out:
        out.write(metrics.stdout)
    port = free_port()
    exporter = subprocess.Popen([tool("prometheus-node-exporter"), f"--web.listen-address=127.0.0.1:{port}",
                                 "--collector.disable-defaults", "--collector.textfile",
                                 f"--collector.textfile.directory={directory}"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    try:
        body = until("node_exporter serving", lambda: get(f"http://127.0.0.1:{port}/metrics")[2])
        check('storcoll_disk_health{' in body, "node_exporter does not serve storcoll_disk_health")
        check(re.search(r'^node_textfile_scrape_error 0$', body, re.M), "node_exporter could not read the file")
    finally:
        stop(exporter)


def start_serve(*arguments):
    serve = subprocess.Popen([STORCOLL, "serve", *arguments], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                             text=True)
    line = serve.stderr.readline()
    found = re.search(r"http://127\.0\.0\.1:(\d+)/metrics", line)
    if not found:
        stop(serve)
        raise AssertionError(f"storcoll serve did not say where it listens: {line!r}")
    return serve, int(found.group(1))


def serve(work):
    server, port = start_serve("--listen", "127.0.0.1:0", "--min-interval", "60")
    prometheus = None
    try:
        base = f"http://127.0.0.1:{port}"
        with concurrent.futures.ThreadPoolExecutor(8) as pool:
            bursts = list(pool.map(lambda _: get(base + "/metrics", timeout=60), range(8)))
        check(all(status == 200 and body == bursts[0][2] for status, _, body in bursts),
              "concurrent scrapes got different answers")
        check(bursts[0][1].startswith("text/plain; version=0.0.4"), f"content type {bursts[0][1]}")
        status, kind, page = get(base + "/")
        check(status == 200 and kind.startswith("text/html") and 'href="/metrics"' in page, "no status page")
        check("Collections so far: 1<" in page, "a burst of scrapes within the interval collected more than once")

        prometheus_port = free_port()
        config = os.path.join(work, "prometheus.yml")
        with open(config, "w") as out:
            out.write("global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n"
                      "scrape_configs:\n  - job_name: storcoll\n"
                      f"    static_configs:\n      - targets: ['127.0.0.1:{port}']\n")
        prometheus = subprocess.Popen([tool("prometheus"), f"--config.file={config}",
                                       f"--web.listen-address=127.0.0.1:{prometheus_port}",
                                       f"--storage.tsdb.path={os.path.join(work, 'tsdb')}"],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        query = urllib.parse.urlencode({"query": 'storcoll_collection_success{job="storcoll"}'})

        def answered():
            answer = json.loads(get(f"http://127.0.0.1:{prometheus_port}/api/v1/query?{query}")[2])
            return answer["data"]["result"] if answer.get("status") == "success" else None

        series = until("Prometheus answering a storcoll_ series", answered, tries=120)
        methods = {entry["metric"]["method"] for entry in series}
        check("CollectSmartNvmeInfo" in methods, f"methods scraped: {sorted(methods)}")
    finally:
        if prometheus:
            stop(prometheus)
        server.send_signal(signal.SIGTERM)
        try:
            code = server.wait(timeout=15)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait(timeout=5)
            raise AssertionError("storcoll serve did not stop on SIGTERM")
    check(code == 0, f"storcoll serve exit code {code} after SIGTERM")


def listen(_work):
    rows = [
        (["--listen", "127.0.0.1:99999"], USAGE_ERROR, "bad listen address '127.0.0.1:99999'"),
        (["--listen", "no-such-host.invalid:80"], USAGE_ERROR, "is neither an IP address nor a known host name"),
    ]
    with socket.socket() as taken:
        # As a second server would: with SO_REUSEPORT the port is shared
        # unless storcoll refuses to share it.
        taken.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEPORT, 1)
        taken.bind(("127.0.0.1", 0))
        taken.listen(1)
        port = taken.getsockname()[1]
        rows.append((["--listen", f"127.0.0.1:{port}"], LISTEN_FAILED,
                     f"cannot listen on 127.0.0.1:{port}: Address already in use"))
        for arguments, code, message in rows:
            run = subprocess.run([STORCOLL, "serve", *arguments], capture_output=True, text=True, timeout=60)
            check(run.returncode == code and message in run.stderr,
                  f"{arguments}: exit {run.returncode}, stderr {run.stderr!r}; expected {code} and {message!r}")


def main():
    group = {"textfile": textfile, "serve": serve, "listen": listen}[sys.argv[2]]
    with tempfile.TemporaryDirectory(prefix="storcoll-fleet-") as work:
        group(work)
    print(f"fleet {sys.argv[2]}: 1 passed, 0 failed")


if __name__ == "__main__":
    main()
