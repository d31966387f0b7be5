#!/usr/bin/env bash
# Times orvane-report over 30,000 workstations in 20 units, process start included: the
# --before report to .xlsx, to .xls, to .csv and as a terminal table, against the mariadb
# client running the same rows' SELECT in batch mode (the floor any report has to pay).
# Prints medians of 5 runs and the ratios; decides nothing.
#
# It REPLACES the workstation data of the server on 127.0.0.1:3306 (the port the program's
# connection texts name), so give it a server of its own:
#   ORVANE_DB_PORT=3306 ORVANE_DB_DIR=/tmp/orvane-bench-db scripts/db start
#   bench/bench_report_cli.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
report=${1:-$root/build}/orvane-report
sql() { mariadb --no-defaults -h127.0.0.1 -P3306 -uroot -p7341 --batch "$@"; }

echo "seeding 30000 workstations in 20 units on 127.0.0.1:3306 ..."
sql hr0910 <<'SQL'
-- No published release: the release check lets every version through.
DELETE FROM tarovel.versionmaster WHERE pack_code = 'sys';
DELETE FROM hr0910.hr_av_activation;
DELETE FROM tarovel.unitmaster WHERE unit_code LIKE 'B%';
INSERT INTO tarovel.unitmaster (unit_code, unit_name, unit_priority, unit_app_acc, unit_app_circ)
  SELECT CONCAT('B', LPAD(seq, 2, '0')), CONCAT('Bench Unit ', seq), seq, 0, 0 FROM seq_1_to_20;
INSERT INTO hr0910.hr_av_activation (unit_code, sys_id, sys_ip, sys_os, sys_user, sys_dept,
    exp_date, sys_remarks, created_by, created_date, created_time)
  SELECT CONCAT('B', LPAD(1 + seq MOD 20, 2, '0')), CONCAT('S', LPAD(seq, 6, '0')),
    CONCAT('10.', (seq DIV 65536) MOD 256, '.', (seq DIV 256) MOD 256, '.', seq MOD 256),
    'WINDOWS 11 PRO', CONCAT('USER ', LPAD(seq MOD 3000, 4, '0')), 'ACCOUNTS',
    DATE_ADD('2024-01-01', INTERVAL seq MOD 900 DAY), CONCAT('License : KAV-', seq), 1,
    '2024/01/01', '10:00:00' FROM seq_1_to_30000;
ANALYZE TABLE hr0910.hr_av_activation;
SQL

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/Orvane"
printf '[ServerIp]\nServerIP=127.0.0.1\n' >"$work/config/Orvane/Tarovel.ini"
before=2099-12-31

# Median wall time in ms of five runs of a command.
timed() {
  local runs=() t0 t1
  for _ in 1 2 3 4 5; do
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    t1=$(date +%s%N)
    runs+=($(((t1 - t0) / 1000000)))
  done
  printf '%s\n' "${runs[@]}" | sort -n | sed -n 3p
}
run_report() { XDG_CONFIG_HOME="$work/config" "$report" --before "$before" "$@"; }

client=$(timed sql hr0910 -e "select unit_code, sys_id, sys_ip, sys_os, sys_user, sys_dept,
  exp_date, sys_remarks from hr_av_activation where exp_date <= '$before' order by unit_code, exp_date")
echo "mariadb client, same rows:        ${client} ms"
for target in xlsx xls csv terminal; do
  if [ "$target" = terminal ]; then
    ms=$(timed run_report)
  else
    ms=$(timed run_report --output "$work/report.$target")
  fi
  printf 'orvane-report to %-9s %6s ms  (%s x the client; target under 1500 ms)\n' \
    "$target:" "$ms" "$(awk -v a="$ms" -v b="$client" 'BEGIN { printf "%.1f", a / b }')"
done
rows=$(XDG_CONFIG_HOME="$work/config" "$report" --before "$before" --output "$work/count.csv" && wc -l <"$work/count.csv")
echo "rows written (csv lines, header included): $rows"
