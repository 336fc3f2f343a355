"""lamivex.screen on this machine and over a Dask LocalCluster of two workers: the same result."""

import os

import pytest

import lamivex

CRYSTALS = os.path.join(os.path.dirname(__file__), "..", "..", "data", "crystals")
SCREEN = dict(b1=4.995, b2=4.995, beta=60, m=10, n=10, spacing=0.5, max_multiple=2,
              substrate_cif_dir=CRYSTALS,
              substrate_mesh=["2.8836 2.8836 60", (2.5562, 2.5562, 90)])


def test_dask_local_cluster_of_two_workers_equals_one_run():
    distributed = pytest.importorskip("distributed")
    one = lamivex.screen(**SCREEN)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        spread = lamivex.screen(**SCREEN, client=client)
        uneven = lamivex.screen(**SCREEN, client=client, shards=5)
    assert spread.json == one.json
    assert uneven.json == one.json
    assert len(one) > 90
    # The typed mesh of Au(111)'s spacing is the √3 overlayer's commensurate substrate.
    assert one.results[0]["substrate"] == "2.8836 2.8836 60"
    assert one.results[0]["interpretation"]["type"] == "commensurate"


def test_result_as_dataframe_and_refusal():
    pandas = pytest.importorskip("pandas")
    result = lamivex.screen(**SCREEN, top=4)
    frame = result.to_dataframe()
    assert isinstance(frame, pandas.DataFrame)
    assert list(frame["rank"]) == [1, 2, 3, 4]
    assert list(frame["vvo"]) == sorted(frame["vvo"])
    with pytest.raises(ValueError, match="--shard|no substrates"):
        lamivex.screen(b1=5, b2=5, beta=90)
