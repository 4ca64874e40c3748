\name{read_game}
\alias{read_game}
\alias{chambers}
\alias{vkx_game}
\alias{print.vkx_game}
\title{Games for the power indices}
\description{
A game to pass in place of weights: the game of a data file of the program
(read now, with the players' names from the comments of its weight lines,
\code{29 \{DE\}}), unweighted chambers, or weights with names given apart.
}
\usage{
read_game(path)
chambers(sizes)
vkx_game(weights = NULL, names = NULL, members = NULL)
}
\arguments{
\item{path}{a data file, with or without \code{.inp}, as on the command line.}
\item{sizes, members}{the number of members of each unweighted chamber.}
\item{weights}{whole-number weights: a vector, or a list of vectors for
  several subgames.}
\item{names}{the players' names in order over the subgames (any text), in
  place of \code{names(weights)}.}
}
\value{A game (class \code{vkx_game}).}
\section{Errors}{
A file that cannot be read, or is no game, stops with the command line's
message (\code{"...system error on loading NAME.inp"},
\code{"FILE:LINE: reason"}).
}
\examples{
shapley(chambers(c(100, 435)), c(51, 218))
banzhaf(vkx_game(c(3, 2, 1), names = c("A", "B", "C")), 4)
f <- tempfile(fileext = ".inp")
writeLines(c("1", "1", "3", "3 {A}", "2 {B}", "1 {C}"), f)
banzhaf(read_game(f), 4)
}
