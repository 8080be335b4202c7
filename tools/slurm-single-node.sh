#!/bin/sh
# Slurm on this one machine, for trying tools/slurm-batch.sh: a munge key,
# a minimal slurm.conf naming this host as controller and only node, then
# munged, slurmctld and slurmd. Needs root and Debian's slurm-wlm.
# Usage: tools/slurm-single-node.sh start|stop
# "stop" ends the three daemons this script started, by their pid files.
set -eu
state=${TELLAVOX_SLURM_STATE:-/var/lib/tellavox-slurm}
conf=/etc/slurm/slurm.conf

write_conf() {
  host=$(hostname -s)
  # Leave some memory to the machine's other users.
  memory=$(awk '/MemTotal/ { print int($2 / 1024 * 0.8) }' /proc/meminfo)
  mkdir -p /etc/slurm "$state/ctld" "$state/d"
  cat > "$conf" <<CONF
ClusterName=tellavox
SlurmctldHost=$host
SlurmUser=root
AuthType=auth/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
ReturnToService=2
StateSaveLocation=$state/ctld
SlurmdSpoolDir=$state/d
SlurmctldPidFile=$state/slurmctld.pid
SlurmdPidFile=$state/slurmd.pid
SlurmctldLogFile=$state/slurmctld.log
SlurmdLogFile=$state/slurmd.log
NodeName=$host CPUs=$(nproc) RealMemory=$memory State=UNKNOWN
PartitionName=main Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
}

start_munge() {
  if [ ! -s /etc/munge/munge.key ]; then
    mkdir -p /etc/munge
    dd if=/dev/urandom of=/etc/munge/munge.key bs=1024 count=1 2>/dev/null
  fi
  chown munge:munge /etc/munge/munge.key
  chmod 400 /etc/munge/munge.key
  mkdir -p /run/munge /var/log/munge /var/lib/munge
  chown munge:munge /run/munge /var/log/munge /var/lib/munge
  runuser -u munge -- /usr/sbin/munged
}

stop_by_pidfile() {
  [ -s "$1" ] && kill "$(cat "$1")" 2>/dev/null || true
}

case ${1:-start} in
start)
  write_conf
  start_munge
  /usr/sbin/slurmctld
  /usr/sbin/slurmd
  # The node takes work once it has told the controller it is there.
  for _ in $(seq 60); do
    sinfo -h -o %T 2>/dev/null | grep -q idle && exit 0
    sleep 1
  done
  echo "The node did not come up; see $state/*.log" >&2
  exit 1
  ;;
stop)
  stop_by_pidfile "$state/slurmd.pid"
  stop_by_pidfile "$state/slurmctld.pid"
  stop_by_pidfile /run/munge/munged.pid
  ;;
*)
  echo "Usage: $0 start|stop" >&2
  exit 2
  ;;
esac
